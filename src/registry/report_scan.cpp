#include "registry/report_scan.h"

#include "data/records.h"

namespace tavir::registry {

using platform::Status;

namespace {

const platform::KeyDef& reportKey(const platform::FileDef& def) { return *def.key("KEYCODUCH"); }

}  // namespace

Status latestPeriod(const std::filesystem::path& valueFile, int64_t& period) {
    period = 0;
    data::RecordFile<data::Otchet> file(valueFile);
    if (Status st = file.open(); !st) return st;
    const int mes = file.def().fieldIndex("MES");
    platform::Record record(file.def());
    Status st;
    {
        auto cursor = file.KeyedFile::byKey(reportKey(file.def()), {}, platform::Direction::Backward, {mes});
        if (cursor.next(record)) period = record.num(mes);
        st = cursor.status();
    }
    file.close();
    return st;
}

Status storedReports(const std::filesystem::path& valueFile, int64_t low, int64_t high,
                     std::vector<StoredReport>& reports) {
    reports.clear();
    data::RecordFile<data::Otchet> file(valueFile);
    if (Status st = file.open(); !st) return st;
    const platform::FileDef& def = file.def();
    const int mes = def.fieldIndex("MES"), uch = def.fieldIndex("CODUCH"), reg = def.fieldIndex("CODREG"),
              tip = def.fieldIndex("TIP");
    platform::Record record(def);
    Status st;
    {
        auto cursor = file.firstOfGroups(reportKey(def), low, high, {mes, uch, reg, tip});
        while (cursor.next(record)) {
            reports.push_back({record.num(mes), static_cast<int>(record.num(uch)),
                               static_cast<int>(record.num(reg)), static_cast<int>(record.num(tip))});
        }
        st = cursor.status();
    }
    file.close();
    if (!st) reports.clear();
    return st;
}

}  // namespace tavir::registry
