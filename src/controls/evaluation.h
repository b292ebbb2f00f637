// Evaluation of the intra-form control rules of a form against the values of
// a report (check rows), and the entry check of one edited row against the
// column rules of its table.
#pragma once

#include "controls/rules.h"
#include "data/records.h"
#include "platform/decimal.h"
#include "platform/interaction.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::controls {

using platform::Decimal;

// Controls see value indexes 1 to 25.
inline constexpr int kCheckValues = 25;
using CheckValues = std::array<Decimal, kCheckValues>;  // [0] is value index 1

// One row of the report being checked, its values summed over whatever the
// caller checks (one report, months, facilities).
struct CheckRow {
    int UNICODSTR = 0;
    int CODTAB = 0;
    CheckValues DATA{};
};
using CheckRows = std::vector<CheckRow>;

// One table of the form as evaluation needs it.
struct TableDims {
    int CODTABL = 0;
    int SM = 0;  // descriptive columns
    int A = 0;   // value columns
};
using TableList = std::vector<TableDims>;

// One violation found.
struct ErrorLine {
    std::string code;  // rule number, its first 4 characters
    int table = 0;     // table of the left side
    Decimal deviation; // left side minus sum
    std::string text;  // at most kErrorTextWidth characters
    int column = 0;    // printed column of the left side; 0 for column rules
};
inline constexpr size_t kErrorTextWidth = 500;

// Every row, table and column rule of the form against the check rows:
// first the row rules (their lines then sorted by table and column), then
// the table rules, then the column rules check row by check row. Problems of
// the rule data are shown through `ui` as they are met, and evaluation goes on.
std::vector<ErrorLine> evaluateForm(const FormRules& rules, const CheckRows& rows, const TableList& tables,
                                    platform::Interaction& ui);

// A mark the entry check puts beside a value entry.
struct EntryMarker {
    int valueIndex = 0;  // 1 to 25
    std::string text;    // "?" on a term, "?" + relation + sum on the left side
};

struct EntryCheck {
    bool failed = false;                // the row's error mark becomes "?", else blank
    std::string message;                // the violations, at most 70 characters; empty in quiet mode
    std::vector<EntryMarker> markers;   // in the order set; empty in quiet mode
};

// The entry check of one row of the table being edited, with the table's
// column rules as loadTableColumnRules gives them and the table's count of
// descriptive columns. Sums are taken in floating point, each partial sum
// rounded to three decimals; the conditional relation is not tested while
// editing. Quiet mode stops at the first violation and gathers no texts.
EntryCheck checkEntryRow(const std::vector<data::ContrGr>& rules, int sm, std::string_view rowCode,
                         const CheckValues& values, bool quiet);

// Outside quiet mode: a warning sound and the message "Не выполнено условие|"
// with the violations, when there are any.
void reportEntryCheck(const EntryCheck& check, platform::Interaction& ui);

// --- Inter-form rules ------------------------------------------------------

// The running total of one subject of an inter-form rule.
struct InterformTotal {
    int64_t code = 0;       // facility, district, or 0 for the whole region
    std::string name;
    // Signed sum of the rule's terms in thousandths: report values add up
    // exactly however many there are, and convert to double once.
    __int128 milli = 0;
    std::string text;       // the values that went into the sum, at most kInterformTextWidth characters
    bool collectText = true;
    bool violated = false;

    double sum() const { return static_cast<double>(milli) / 1000.0; }
};
inline constexpr size_t kInterformTextWidth = 300;

// One row of one form with the value indexes the rule takes from it; a
// negative index is subtracted.
struct InterformGroup {
    int form = 0;
    int row = 0;
    std::vector<int> indexes;
};

// The terms of an inter-form rule (triples of COS:S1: form, row, value index)
// grouped by form and row, sorted by form, row and index. A group keeps at
// most 25 indexes: each further one is dropped with "ПЕРЕПОЛНЕНИЕ ГРАФ".
std::vector<InterformGroup> groupInterformTerms(const data::ContrStr& rule, platform::Interaction& ui);

struct InterformRule {
    int64_t number = 0;
    int relation = 0;  // of the sum with zero
    std::vector<InterformGroup> groups;
};

// Reads inter-form rule `number` from the year's ContrMF.dat and groups its
// terms; a rule that is not there shows "Контроль не найден" and leaves
// `rule` empty. A rule file that does not open fails.
platform::Status readInterformRule(const data::Installation& inst, int year, int64_t number, platform::Interaction& ui,
                                   std::optional<InterformRule>& rule);

// The total a value record adds to, or nullptr when it belongs to none.
using SubjectOf = std::function<InterformTotal*(const data::Otchet&)>;

// Adds every value record of every grouped row of the year's value files,
// whatever its period, to the total of its subject, and appends
// "+(Ф" form ")" value (or "-(Ф…") to the total's text. A value file that
// does not open fails.
platform::Status sumInterform(const data::Installation& inst, int year, const InterformRule& rule,
                              const SubjectOf& subjectOf);

// Marks the total as violating when its sum breaks the relation with zero
// (codes 1 to 5; other codes never do).
void markInterformViolation(const InterformRule& rule, InterformTotal& total);

}  // namespace tavir::controls
