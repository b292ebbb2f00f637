// What the demo generator knows of the installation it builds: the forms of
// the year as loaded from the reference files, the facilities with their
// sizes, and reports held as grids of thousandths until they are written.
#pragma once

#include "data/records.h"
#include "platform/status.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavir::demo {

inline constexpr int kValues = 25;
using Cells = std::array<int64_t, kValues>;  // thousandths, [0] is value index 1

struct TableRef {
    data::Tabl tabl;
    std::vector<data::Stroka> rows;  // by row number
    std::vector<data::Grafa> cols;   // by column number
    std::vector<data::Rash> rules;   // RAS:KEYFORTAB order
    std::set<int> rowTargets;        // row numbers computed by a row formula
    std::set<int> colTargets;        // value indexes computed by a column formula
    int rowIndex(const std::string& codstr) const;  // -1 when the table has no such row
};

struct FormRef {
    data::Forma forma;
    std::vector<TableRef> tables;  // by table code
    const TableRef* table(int code) const;
    int tableIndex(int code) const;
};

// The reference data of a year, read back from the files that were loaded.
struct Reference {
    std::map<int, FormRef> forms;
    const FormRef& form(int code) const { return forms.at(code); }
    platform::Status read(const std::filesystem::path& yearDir);
};

struct Facility {
    data::Bolnbol rec;
    double size = 0;           // thousands of people served, the scale of its numbers
    std::set<int> forms;       // forms its kind reports
    std::vector<int> profiles; // bed profiles (row numbers of form 16) of a hospital
    bool activeIn(int year) const {
        return rec.SEL != 3 && rec.SYEAR <= year && (rec.EYEAR == 0 || rec.EYEAR >= year);
    }
};

struct DistrictInfo {
    int code = 0;
    std::string name;
    int64_t population = 0;
    int urbanPercent = 0;
    int x = 0, y = 0;  // seed of its shape on the map
};

// One report: the values of every row of every table of the form.
struct Report {
    int year = 0;
    int form = 0;
    int facility = 0;
    int district = 0;
    int64_t period = 0;
    bool empty = false;  // submitted empty: stored as the single all-zero record
    std::vector<std::vector<Cells>> cells;  // [table][row]

    Report() = default;
    Report(const FormRef& f, int y, int fac, int reg, int64_t per);
    int64_t& at(const FormRef& f, int table, const std::string& codstr, int valueIndex);
    int64_t at(const FormRef& f, int table, const std::string& codstr, int valueIndex) const;
};

// Computes every table's formulas in table order, as "Расчет таблиц" does.
void calculate(const FormRef& form, Report& report);
// The value records of the report: one per row with a non-zero value, or
// the single all-zero record of a report submitted empty.
std::vector<data::Otchet> toRecords(const FormRef& form, const Report& report);

}  // namespace tavir::demo
