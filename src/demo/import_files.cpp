#include "demo/import_files.h"

#include "data/exchange_record.h"
#include "data/record_binding.h"
#include "platform/dbf_writer.h"
#include "platform/number_format.h"

#include <map>

namespace tavir::demo {

namespace fs = std::filesystem;
using platform::Status;

namespace {

// Adds the records to a new keyless file of the given layout, in one transaction.
template <class T>
Status writeKeyless(const fs::path& path, std::string_view label, const std::vector<T>& records) {
    if (Status st = platform::KeyedFile::create(*data::findFile(label), path); !st) return st;
    data::RecordFile<T> file(path, label);
    if (Status st = file.open(); !st) return st;
    platform::Transaction tx(file);
    for (T r : records) {
        if (Status st = file.add(r); !st) return st;
    }
    return tx.commit();
}

// The name the report export gives a file of monthly reports: subject stem,
// "m" and the month, then "F" and each form.
std::string exchangeName(const std::string& stem, int64_t month, const std::set<int>& forms) {
    std::string name = stem + "m" + std::to_string(month);
    for (int f : forms) name += "F" + std::to_string(f);
    return name + ".dat";
}

Status writeBilling(const fs::path& dir, const Reference& reference, const Report& report, std::vector<std::string>& names) {
    const std::vector<data::Otchet> records = toRecords(reference.form(report.form), report);
    char period[16];
    std::snprintf(period, sizeof period, "%02d%04d", int(report.period), report.year);
    std::vector<platform::DbfField> fields{{"FORMA", 10}, {"NUMBSTR", 10}};
    for (int i = 1; i <= 25; ++i) fields.push_back({"COL" + std::to_string(i), 12});
    std::vector<std::vector<std::string>> rows;
    for (const data::Otchet& o : records) {
        std::vector<std::string> row{std::to_string(report.form), std::to_string(o.UNICODSTR)};
        for (int i = 0; i < 25; ++i) row.push_back(o.DATA[size_t(i)].isZero() ? "" : platform::formatNumber(o.DATA[size_t(i)]));
        rows.push_back(std::move(row));
    }
    const std::string billing = "omc" + std::to_string(report.facility) + "_" + period + ".dbf";
    if (Status st = platform::writeDbf(dir / billing, fields, rows); !st) return st;
    names.push_back(billing);
    // The same program's register of payments to persons: its layout is
    // recognised but carries no report.
    std::vector<platform::DbfField> vov{{"FORMA", 10}, {"NUMBSTR", 10}, {"FIO", 40}};
    for (int i = 1; i <= 5; ++i) vov.push_back({"COL" + std::to_string(i), 12});
    const std::vector<std::vector<std::string>> persons{
        {std::to_string(report.form), "2", "Иванова Мария Петровна", "1250.00", "0", "0", "312.50", "0"},
        {std::to_string(report.form), "2", "Смирнов Алексей Иванович", "980.40", "0", "0", "245.10", "0"},
        {std::to_string(report.form), "3", "Кузнецова Ольга Николаевна", "4310.75", "0", "0", "0", "1077.69"}};
    const std::string register_ = "vov" + std::to_string(report.facility) + "_" + period + ".dbf";
    if (Status st = platform::writeDbf(dir / register_, vov, persons); !st) return st;
    names.push_back(register_);
    return Status::ok();
}

}  // namespace

Status writeImportFiles(const fs::path& importDir, const Reference& reference,
                        const std::vector<std::pair<Delivery, Report>>& withheld, std::vector<std::string>& names) {
    // Exchange files gather reports by their stem (subject) and month.
    std::map<std::string, std::vector<data::Ot2>> exchange;
    std::map<std::string, std::pair<int64_t, std::set<int>>> exchangePeriods;
    std::map<std::string, std::vector<data::Otchet>> oldFormat;
    for (const auto& [how, report] : withheld) {
        const std::vector<data::Otchet> records = toRecords(reference.form(report.form), report);
        switch (how) {
            case Delivery::FacilityFile:
            case Delivery::DistrictFile: {
                const std::string stem = how == Delivery::FacilityFile ? "u" + std::to_string(report.facility) : "r" + std::to_string(report.district);
                for (const data::Otchet& o : records) exchange[stem].push_back(data::exchangeRecord(report.form, o));
                exchangePeriods[stem].first = report.period;
                exchangePeriods[stem].second.insert(report.form);
                break;
            }
            case Delivery::ConsolidatedFile: {
                // As the district's consolidated export writes it: the district as subject, no period type.
                std::vector<data::Ot2> rows;
                for (const data::Otchet& o : records) {
                    data::Ot2 r = data::exchangeRecord(report.form, o);
                    r.TIP = 0;
                    rows.push_back(r);
                }
                const std::string name = "ssw" + std::to_string(report.district) + "F" + std::to_string(report.form) + ".dat";
                if (Status st = writeKeyless(importDir / name, "OT2", rows); !st) return st;
                names.push_back(name);
                break;
            }
            case Delivery::OldFormat: {
                char name[32];
                std::snprintf(name, sizeof name, "W%04da%02d.dat", report.form, int(report.period));
                auto& list = oldFormat[name];
                list.insert(list.end(), records.begin(), records.end());
                break;
            }
            case Delivery::Billing:
                if (Status st = writeBilling(importDir, reference, report, names); !st) return st;
                break;
        }
    }
    for (const auto& [stem, rows] : exchange) {
        const auto& [month, forms] = exchangePeriods.at(stem);
        const std::string name = exchangeName(stem, month, forms);
        if (Status st = writeKeyless(importDir / name, "OT2", rows); !st) return st;
        names.push_back(name);
    }
    for (const auto& [name, rows] : oldFormat) {
        if (Status st = writeKeyless(importDir / name, "otchetOld", rows); !st) return st;
        names.push_back(name);
    }
    return Status::ok();
}

}  // namespace tavir::demo
