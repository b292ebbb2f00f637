// Table calculation from the rules of Rash, the colouring and locking those
// rules give the row window, and the carry-over of balances from the
// previous month. All of them work on the grid of the current table; none
// writes to the value file.
#pragma once

#include "data/record_binding.h"
#include "data/records.h"
#include "entry/report_lists.h"
#include "platform/status.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tavir::entry {

// Rule kinds of RAS:TIPRASH after folding the ordering tens (11, 21 -> 1).
enum class RuleKind { ColumnFormula = 1, RowFormula = 2, ReportRowFormula = 3, LockedColumns = 4, Other = 0 };
RuleKind ruleKind(int tiprash);

// The rules of one table of a form, in RAS:KEYFORTAB order: by kind, and
// within a kind in the order they were added. The file is opened and closed here.
platform::Status readCalcRules(data::RecordFile<data::Rash>& file, int form, int table, std::vector<data::Rash>& rules);

// QRASH: the rules as the row window uses them. Kinds folded (11 and 21 to 1,
// 12 and 22 to 2), whole-report formulas left out, sorted by kind and target.
std::vector<data::Rash> displayRules(const std::vector<data::Rash>& rules);

// A cell whose computed sum does not fit a DECIMAL 9,3; it keeps its value.
struct CalcCell {
    int rowNumber = 0;
    int valueIndex = 0;  // 1-based
};

// Applies the rules in their order to the grid. Column formulas work on every
// row; row formulas on value indexes 1 to `valueCount`, with operand rows
// taken from the grid or, for whole-report formulas, from the cache. Sums are
// exact. Returns the cells left unchanged because their sum overflowed.
std::vector<CalcCell> calculateTable(const std::vector<data::Rash>& rules, int valueCount, std::vector<GridRow>& grid,
                                     const ReportCache& cache);

// How the row window shows the value entries of one row.
struct EntryColouring {
    std::array<bool, kValueCount> computed{};  // target of a formula: light green
    std::array<bool, kValueCount> locked{};    // grey, skipped by Tab and Enter
};
EntryColouring colourEntries(const std::vector<data::Rash>& displayRules, int rowNumber);

// The carry-over button exists for forms 342, 117 and 124 after the first period.
bool carryOverOffered(int form, int64_t period);

// Sets values 1 to 3 of every grid row from the facility's record of the row
// for the period before: values 4 to 6 for form 342, 13 to 15 for forms 117
// and 124; 0 where the previous period has no record of the row.
platform::Status carryOver(data::RecordFile<data::Otchet>& valueFile, int form, int facility, int64_t period,
                           std::vector<GridRow>& grid);

}  // namespace tavir::entry
