// Control rules as the reference year delivers them: relation codes, and the
// rules and rows of one form read from the year's rule files.
#pragma once

#include "data/paths.h"
#include "data/records.h"
#include "platform/status.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavir::controls {

// Relation codes of COS:SNAK, CON:SNAK and COT:SNAK.
inline constexpr int kRelEqual = 1;
inline constexpr int kRelGreater = 2;
inline constexpr int kRelGreaterEqual = 3;
inline constexpr int kRelLess = 4;
inline constexpr int kRelLessEqual = 5;
inline constexpr int kRelConditional = 6;  // if the left side is 0, the sum must be 0

// "=", ">", ">=", "<", "<=", "?" as violations show them; empty for other codes.
std::string_view violationRelation(int code);
// The same padded with blanks to two characters, as row and column rules write it.
std::string paddedRelation(int code);
// As formulas show them: code 6 reads "=0".
std::string_view formulaRelation(int code);

// The printed row attributes that rule texts need, by row unique code.
struct RowInfo {
    int CODTABL = 0;
    int NUMBER = 0;
    std::string CODSTR;  // without trailing blanks
};

// Every rule of one form and every row of the form, in the orders the
// evaluation and the control list read them.
struct FormRules {
    int form = 0;
    std::vector<data::ContrStr> rowRules;     // COS:KEYCODFORM order
    std::vector<data::ContrTab> tableRules;   // COT:KEYCODFORM order
    std::vector<data::ContrGr> columnRules;   // CON:CODTAB order
    std::map<int, RowInfo> rows;              // STR:KEYUNICOD
    std::map<std::pair<int, std::string>, int> rowByCode;  // (table, row code) -> unique code, as STR:STR1

    const RowInfo* row(int unicod) const;
    // The unique code of the row with the printed code in the table (codes
    // compared without trailing blanks), or none.
    std::optional<int> findRow(int table, std::string_view code) const;
};

// Reads the row, table and column rules and the rows of `form` from the rule
// files and `stroka` of the year. Files are opened and closed here; a file
// that does not open is reported with its path.
platform::Status loadFormRules(const data::Installation& inst, int year, int form, FormRules& rules);

// The column rules of one table in CON:CODTAB order, as report entry loads
// them for the entry check when a table is opened.
platform::Status loadTableColumnRules(const data::Installation& inst, int year, int form, int table,
                                      std::vector<data::ContrGr>& rules);

// Whether a rule's row code (CON:CODSTR) limits it to one row: a blank code
// or one whose numeric value is 0 applies to every row.
bool limitedToRow(std::string_view codstr);

// The terms of an array up to (not including) the first 0 entry.
template <class Array>
size_t termCount(const Array& terms, size_t limit) {
    size_t n = 0;
    while (n < limit && n < terms.size() && terms[n] != 0) ++n;
    return n;
}

}  // namespace tavir::controls
