#include "entry/table_calculation.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

namespace tavir::entry {

namespace {

constexpr int kOperands = 50;

const GridRow* rowByNumber(const std::vector<GridRow>& grid, int number) {
    for (const GridRow& row : grid) {
        if (row.NUMBER == number) return &row;
    }
    return nullptr;
}

// Adds or subtracts; nothing once the sum has left the field's range.
std::optional<Decimal> addSigned(std::optional<Decimal> sum, Decimal value, bool subtract) {
    if (!sum) return sum;
    return checkedAdd(*sum, subtract ? -value : value);
}

void columnFormula(const data::Rash& rule, std::vector<GridRow>& grid, std::vector<CalcCell>& overflow) {
    if (rule.GS < 1 || rule.GS > kValueCount) return;
    for (GridRow& row : grid) {
        std::optional<Decimal> sum = Decimal();
        for (int k = 0; k < kOperands && rule.GS1[k] != 0; ++k) {
            const int index = std::abs(rule.GS1[k]);
            // An operand that names no value column contributes nothing.
            if (index > kValueCount) continue;
            sum = addSigned(sum, row.DATA[index - 1], rule.GS1[k] < 0);
        }
        if (sum) {
            row.DATA[rule.GS - 1] = *sum;
        } else {
            overflow.push_back({row.NUMBER, rule.GS});
        }
    }
}

void rowFormula(const data::Rash& rule, bool wholeReport, int valueCount, std::vector<GridRow>& grid,
                const ReportCache& cache, std::vector<CalcCell>& overflow) {
    std::array<std::optional<Decimal>, kValueCount> sums;
    sums.fill(Decimal());
    for (int k = 0; k < kOperands && rule.GS1[k] != 0; ++k) {
        const int operand = std::abs(rule.GS1[k]);
        const Values* values = nullptr;
        if (wholeReport) {
            auto it = cache.find(operand);
            if (it != cache.end()) values = &it->second.DATA;
        } else if (const GridRow* row = rowByNumber(grid, operand)) {
            values = &row->DATA;
        }
        if (!values) continue;
        for (int i = 0; i < valueCount; ++i) sums[i] = addSigned(sums[i], (*values)[i], rule.GS1[k] < 0);
    }
    for (GridRow& row : grid) {
        if (row.NUMBER != rule.GS) continue;
        for (int i = 0; i < valueCount; ++i) {
            if (sums[i]) {
                row.DATA[i] = *sums[i];
            } else {
                overflow.push_back({row.NUMBER, i + 1});
            }
        }
        break;
    }
}

}  // namespace

RuleKind ruleKind(int tiprash) {
    switch (tiprash) {
        case 1: case 11: case 21: return RuleKind::ColumnFormula;
        case 2: case 12: case 22: return RuleKind::RowFormula;
        case 3: case 13: case 23: return RuleKind::ReportRowFormula;
        case 4: return RuleKind::LockedColumns;
        default: return RuleKind::Other;
    }
}

platform::Status readCalcRules(data::RecordFile<data::Rash>& file, int form, int table, std::vector<data::Rash>& rules) {
    rules.clear();
    if (platform::Status st = file.open(); !st) return st;
    // RAS:KEYFORTAB is (form, table, kind), duplicate: equal entries come in
    // the order they were added.
    auto cursor = file.equal("RAS:KEYFORTAB", {form, table});
    data::Rash rule;
    while (cursor.next(rule)) rules.push_back(rule);
    platform::Status st = cursor.status();
    file.close();
    return st;
}

std::vector<data::Rash> displayRules(const std::vector<data::Rash>& rules) {
    std::vector<data::Rash> shown;
    for (const data::Rash& rule : rules) {
        const RuleKind kind = ruleKind(rule.TIPRASH);
        if (kind == RuleKind::ReportRowFormula) continue;
        data::Rash folded = rule;
        if (kind == RuleKind::ColumnFormula || kind == RuleKind::RowFormula) folded.TIPRASH = static_cast<int>(kind);
        shown.push_back(folded);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const data::Rash& a, const data::Rash& b) {
        return a.TIPRASH != b.TIPRASH ? a.TIPRASH < b.TIPRASH : a.GS < b.GS;
    });
    return shown;
}

std::vector<CalcCell> calculateTable(const std::vector<data::Rash>& rules, int valueCount, std::vector<GridRow>& grid,
                                     const ReportCache& cache) {
    valueCount = std::clamp(valueCount, 0, kValueCount);
    std::vector<CalcCell> overflow;
    for (const data::Rash& rule : rules) {
        switch (ruleKind(rule.TIPRASH)) {
            case RuleKind::ColumnFormula: columnFormula(rule, grid, overflow); break;
            case RuleKind::RowFormula: rowFormula(rule, false, valueCount, grid, cache, overflow); break;
            case RuleKind::ReportRowFormula: rowFormula(rule, true, valueCount, grid, cache, overflow); break;
            case RuleKind::LockedColumns:
            case RuleKind::Other: break;
        }
    }
    return overflow;
}

EntryColouring colourEntries(const std::vector<data::Rash>& displayRules, int rowNumber) {
    EntryColouring c;
    bool rowTarget = false;
    for (const data::Rash& rule : displayRules) {
        if (rule.TIPRASH == 2 && rule.GS == rowNumber) rowTarget = true;
    }
    if (rowTarget) {
        c.computed.fill(true);
    } else {
        for (const data::Rash& rule : displayRules) {
            if (rule.TIPRASH == 1 && rule.GS >= 1 && rule.GS <= kValueCount) c.computed[rule.GS - 1] = true;
        }
    }
    // The rules are sorted by target, so a lock for every row (target 0)
    // comes first and wins over one for this row.
    const data::Rash* lock = nullptr;
    for (const data::Rash& rule : displayRules) {
        if (rule.TIPRASH != 4) continue;
        if (rule.GS == 0 || rule.GS == rowNumber) {
            lock = &rule;
            break;
        }
    }
    if (lock) {
        for (int k = 0; k < kOperands - 1 && lock->GS1[k] != 0; ++k) {
            const int index = std::abs(lock->GS1[k]);
            if (index <= kValueCount) c.locked[index - 1] = true;
        }
    }
    return c;
}

bool carryOverOffered(int form, int64_t period) {
    return (form == 342 || form == 117 || form == 124) && period > 1;
}

platform::Status carryOver(data::RecordFile<data::Otchet>& valueFile, int form, int facility, int64_t period,
                           std::vector<GridRow>& grid) {
    const int from = form == 342 ? 3 : 12;  // 0-based index of the first value carried
    if (platform::Status st = valueFile.open(); !st) return st;
    std::map<int, Values> previous;
    auto cursor = valueFile.equal("OTC:KEYCODUCH", {period - 1, facility});
    data::Otchet rec;
    while (cursor.next(rec)) {
        Values& v = previous[rec.UNICODSTR];
        std::copy(rec.DATA.begin(), rec.DATA.begin() + kValueCount, v.begin());
    }
    platform::Status st = cursor.status();
    valueFile.close();
    if (!st) return st;
    for (GridRow& row : grid) {
        auto it = previous.find(row.UNICODSTR);
        for (int i = 0; i < 3; ++i) row.DATA[i] = it == previous.end() ? Decimal() : it->second[from + i];
    }
    return platform::Status::ok();
}

}  // namespace tavir::entry
