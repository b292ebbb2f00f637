#include "platform/dbf_writer.h"

#include "platform/cp1251.h"

#include <shapefil.h>

namespace tavir::platform {

Status writeDbf(const std::filesystem::path& path, const std::vector<DbfField>& fields,
                const std::vector<std::vector<std::string>>& rows) {
    const auto failed = [&](const std::string& what) {
        return Status::fail(ErrorKind::Io, "Таблица " + path.string() + " не записана: " + what);
    };
    // Language driver 201: Russian Windows (1251).
    DBFHandle dbf = DBFCreateEx(path.string().c_str(), "LDID/201");
    if (!dbf) return failed("файл не создан");
    Status status;
    for (const DbfField& f : fields) {
        if (DBFAddField(dbf, f.name.c_str(), FTString, f.width, 0) < 0) {
            status = failed("поле " + f.name);
            break;
        }
    }
    for (size_t r = 0; status.isOk() && r < rows.size(); ++r) {
        for (size_t c = 0; c < fields.size(); ++c) {
            const std::string text = c < rows[r].size() ? utf8ToCp1251Lossy(rows[r][c]) : std::string();
            if (!DBFWriteStringAttribute(dbf, static_cast<int>(r), static_cast<int>(c), text.c_str())) {
                status = failed("строка " + std::to_string(r + 1));
                break;
            }
        }
    }
    DBFClose(dbf);
    return status;
}

}  // namespace tavir::platform
