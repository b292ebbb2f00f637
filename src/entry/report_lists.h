// The working lists of one report entry run: the form's tables (QST), the
// grid rows of the current table (QT), the row list of the row chooser (QS),
// the report cache across all tables (QSU) and the current table's column
// attributes. They belong to the entry run that built them.
#pragma once

#include "platform/decimal.h"
#include "platform/picture.h"

#include <array>
#include <map>
#include <string>

namespace tavir::entry {

using platform::Decimal;

// Report entry reads and writes value indexes 1 to 25 (OTC:DATA1..25).
inline constexpr int kValueCount = 25;
using Values = std::array<Decimal, kValueCount>;

inline bool allZero(const Values& values) {
    for (const Decimal& v : values) {
        if (!v.isZero()) return false;
    }
    return true;
}

// QST: one table of the form.
struct TableEntry {
    int CODTABL = 0;
    std::string NAME;
    int SM = 0;  // descriptive columns
    int A = 0;   // value columns
    int TYPE = 0;
    std::string XLS;  // spreadsheet template, first 15 characters of TAB:NAMEL
};

// QT: one report row of the current table.
struct GridRow {
    std::string CODSTR;  // printed row code
    std::string ERROR;   // error mark: blank or "?"
    std::string S;       // row name
    std::string POL;     // sex mark followed by the diagnosis codes
    Values DATA{};       // by value index, DATA[0] is value index 1
    int UNICODSTR = 0;
    int NUMBER = 0;
};

// QS: one line of the row chooser.
struct RowListEntry {
    std::string CODSTR;
    std::string NAMEL;
    int NUMBER = 0;
};

// QSU: one row of the report with at least one non-zero value.
struct CacheEntry {
    int CODTABL = 0;
    Values DATA{};
    std::string ERROR;
};

// The report cache, ordered by row unique code.
using ReportCache = std::map<int, CacheEntry>;

// Attributes of one value column of the current table.
struct ColumnAttr {
    std::string NAME;   // heading, GRA:NAME
    std::string NAMEL;  // short heading for the grid header, GRA:NAMEL
    int COD = 0;        // printed column number
    platform::Picture picture;
    bool present = false;  // the table has a column at this value index
};

}  // namespace tavir::entry
