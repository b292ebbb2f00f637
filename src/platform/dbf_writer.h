// Writing dBase tables of character fields (the billing program's tables),
// through shapelib. Texts are stored in Windows-1251, and the table's
// language-driver byte says so.
#pragma once

#include "platform/status.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavir::platform {

struct DbfField {
    std::string name;  // up to 10 ASCII characters
    int width = 0;     // characters
};

// Creates the table at `path` (its name should end in ".dbf") with the
// fields and one row per entry of `rows`, each holding one text per field.
Status writeDbf(const std::filesystem::path& path, const std::vector<DbfField>& fields,
                const std::vector<std::vector<std::string>>& rows);

}  // namespace tavir::platform
