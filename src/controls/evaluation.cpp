#include "controls/evaluation.h"

#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

namespace tavir::controls {

using platform::formatNumber;

namespace {

// Sums of up to 100 values of 64-bit thousandths cannot overflow 128 bits,
// so intra-form sums are exact whatever the values.
using Wide = __int128;

constexpr Wide kInt64Max = std::numeric_limits<int64_t>::max();

std::string wideText(Wide milli) {
    if (milli >= -kInt64Max && milli <= kInt64Max) return formatNumber(Decimal::fromMilli(static_cast<int64_t>(milli)));
    return formatNumber(static_cast<double>(milli) / 1000.0);
}

Decimal wideDecimal(Wide milli) {
    return Decimal::fromMilli(static_cast<int64_t>(std::clamp<Wide>(milli, -kInt64Max, kInt64Max)));
}

template <class T>
bool holdsRelation(int code, T left, T sum) {
    switch (code) {
        case kRelEqual: return left == sum;
        case kRelGreater: return left > sum;
        case kRelGreaterEqual: return left >= sum;
        case kRelLess: return left < sum;
        case kRelLessEqual: return left <= sum;
        case kRelConditional: return left != 0 || sum == 0;
        default: return true;
    }
}

std::string ruleCode(int64_t rule) { return platform::cutToWidth(formatNumber(rule), 4); }

// The check rows by unique code (the first one where a code repeats) and the
// tables by number, with the value columns that controls cover.
class Lookup {
public:
    Lookup(const CheckRows& rows, const TableList& tables) {
        for (const CheckRow& r : rows) rows_.emplace(r.UNICODSTR, &r);
        for (const TableDims& t : tables) tables_.emplace(t.CODTABL, t);
    }
    const CheckRow* row(int unicod) const {
        auto it = rows_.find(unicod);
        return it == rows_.end() ? nullptr : it->second;
    }
    const TableDims* table(int code) const {
        auto it = tables_.find(code);
        return it == tables_.end() ? nullptr : &it->second;
    }

private:
    std::map<int, const CheckRow*> rows_;
    std::map<int, TableDims> tables_;
};

int coveredColumns(const TableDims& t) { return std::min(t.A, kCheckValues); }

// The value of a row at a value index; rows that are not there and indexes
// outside 1 to 25 count as zero.
Wide valueAt(const CheckRow* row, int index) {
    if (!row || index < 1 || index > kCheckValues) return 0;
    return row->DATA[index - 1].milli();
}

void rowRules(const FormRules& rules, const Lookup& look, platform::Interaction& ui, std::vector<ErrorLine>& out) {
    for (const data::ContrStr& rule : rules.rowRules) {
        const RowInfo* left = rules.row(rule.UNICODSTR);
        if (!left) continue;
        const TableDims* dims = look.table(left->CODTABL);
        const int sm = dims ? dims->SM : 0;
        const int a = dims ? coveredColumns(*dims) : 0;
        int first = 1, last = a;
        if (rule.CODGR != 0) {
            first = last = rule.CODGR - sm;
            if (first < 1 || first > a) {
                ui.message("ИСПРАВТЕ КОНТРОЛЬ " + formatNumber(rule.UNICOD));
                continue;
            }
        }
        const size_t n = termCount(rule.S1, rule.S1.size());
        std::string terms = "c";
        for (size_t k = 0; k < n; ++k) {
            const RowInfo* term = rules.row(std::abs(rule.S1[k]));
            if (!term) continue;
            if (k > 0) terms += rule.S1[k] > 0 ? "+" : "-";
            terms += term->CODSTR;
        }
        const std::string leftCode = platform::padRight(platform::cutToWidth(left->CODSTR, 5), 5);
        const CheckRow* leftRow = look.row(rule.UNICODSTR);
        for (int i = first; i <= last; ++i) {
            const Wide lv = valueAt(leftRow, i);
            // The first term counts with whatever sign it is stored.
            Wide sum = n > 0 ? valueAt(look.row(std::abs(rule.S1[0])), i) : 0;
            for (size_t k = 1; k < n; ++k) {
                const Wide v = valueAt(look.row(std::abs(rule.S1[k])), i);
                sum += rule.S1[k] > 0 ? v : -v;
            }
            if (holdsRelation<Wide>(rule.SNAK, lv, sum)) continue;
            const std::string text = "т" + formatNumber(left->CODTABL) + "г" + formatNumber(i + sm) + "с" + leftCode +
                                     "(" + wideText(lv) + ")" + paddedRelation(rule.SNAK) + "(" + wideText(sum) + ")" +
                                     terms;
            out.push_back({ruleCode(rule.UNICOD), left->CODTABL, wideDecimal(lv - sum),
                           platform::cutToWidth(text, kErrorTextWidth), i + sm});
        }
    }
}

void tableRules(const FormRules& rules, const Lookup& look, platform::Interaction& ui, std::vector<ErrorLine>& out) {
    for (const data::ContrTab& rule : rules.tableRules) {
        const RowInfo* left = rules.row(rule.UNICODSTR);
        if (!left) continue;
        const TableDims* dims = look.table(left->CODTABL);
        const int sm = dims ? dims->SM : 0;
        const int li = rule.CODGR - sm;
        if (li < 1 || li > (dims ? coveredColumns(*dims) : 0)) {
            ui.message("ИСПРАВТЕ КОНТРОЛЬ..... " + formatNumber(rule.UNICOD));
            continue;
        }
        const Wide lv = valueAt(look.row(rule.UNICODSTR), li);
        const size_t n = termCount(rule.US1, rule.US1.size());
        Wide sum = 0;
        std::string terms;
        for (size_t k = 0; k < n; ++k) {
            const int entry = rule.US1[k];
            const CheckRow* row = look.row(std::abs(entry));
            const RowInfo* info = rules.row(std::abs(entry));
            if (!row && !info) {
                ui.message("НЕТ СТРОКИ " + formatNumber(entry));
                continue;
            }
            const int table = row ? row->CODTAB : info->CODTABL;
            const TableDims* td = look.table(table);
            if (!td) {
                ui.message("f" + formatNumber(rules.form) + "?t" + formatNumber(table));
                continue;
            }
            const int column = rule.CODGRS1[k];
            const int index = column - td->SM;
            if (index < 1 || index > coveredColumns(*td)) {
                ui.message("ИСПРАВТЕ КОНТРОЛЬ !!!" + formatNumber(rule.UNICOD) + "|" + formatNumber(table) + " " +
                           formatNumber(column) + " " + formatNumber(td->SM) + " " + formatNumber(td->A));
                continue;
            }
            const Wide v = valueAt(row, index);
            if (k == 0) {
                sum = v;
            } else {
                sum += entry > 0 ? v : -v;
            }
            if (!info) continue;
            if (k > 0) terms += entry > 0 ? "+" : "-";
            terms += "т" + formatNumber(table) + "с" + info->CODSTR + "г" + formatNumber(column);
        }
        if (holdsRelation<Wide>(rule.SNAK, lv, sum)) continue;
        const std::string head = "т" + formatNumber(left->CODTABL) + "с" +
                                 platform::padRight(platform::cutToWidth(left->CODSTR, 5), 5) + "г" +
                                 formatNumber(rule.CODGR) + " (" + wideText(lv) + ")" +
                                 std::string(violationRelation(rule.SNAK));
        const std::string text = platform::cutToWidth(head, 30) + "(" + wideText(sum) + ")" + terms;
        out.push_back({ruleCode(rule.UNICOD), left->CODTABL, wideDecimal(lv - sum),
                       platform::cutToWidth(text, kErrorTextWidth), rule.CODGR});
    }
}

void columnRules(const FormRules& rules, const CheckRows& rows, const Lookup& look, platform::Interaction& ui,
                 std::vector<ErrorLine>& out) {
    struct Applied {
        const data::ContrGr* rule;
        std::optional<int> onlyRow;  // unique code of the one row; none: every row of the table
    };
    std::vector<Applied> applied;
    for (const data::ContrGr& rule : rules.columnRules) {
        Applied a{&rule, std::nullopt};
        if (limitedToRow(rule.CODSTR)) {
            a.onlyRow = rules.findRow(rule.CODTABL, rule.CODSTR);
            if (!a.onlyRow) ui.message("Исправте код строки в контроле " + formatNumber(rule.UNICOD));
        }
        applied.push_back(a);
    }
    std::stable_sort(applied.begin(), applied.end(),
                     [](const Applied& x, const Applied& y) { return x.rule->CODTABL < y.rule->CODTABL; });

    for (const CheckRow& row : rows) {
        const TableDims* td = look.table(row.CODTAB);
        if (!td) {
            ui.message("f" + formatNumber(rules.form) + "?t" + formatNumber(row.CODTAB));
            continue;
        }
        const RowInfo* info = rules.row(row.UNICODSTR);
        for (const Applied& a : applied) {
            const data::ContrGr& rule = *a.rule;
            if (rule.CODTABL != row.CODTAB || (a.onlyRow && *a.onlyRow != row.UNICODSTR)) continue;
            const size_t n = termCount(rule.S1, rule.S1.size());
            Wide sum = 0;
            std::string terms;
            for (size_t k = 0; k < n; ++k) {
                const int entry = rule.S1[k];
                const Wide v = valueAt(&row, std::abs(entry) - td->SM);
                sum += entry > 0 ? v : -v;
                terms += (entry < 0 ? "-г" : k == 0 ? "г" : "+г") + formatNumber(std::abs(entry));
            }
            const Wide lv = valueAt(&row, rule.S - td->SM);
            if (holdsRelation<Wide>(rule.SNAK, lv, sum)) continue;
            const std::string code = info ? info->CODSTR : "?" + formatNumber(row.UNICODSTR);
            const std::string text = "т" + formatNumber(row.CODTAB) + "с" + code + " г" + formatNumber(rule.S) + "(" +
                                     wideText(lv) + ")" + paddedRelation(rule.SNAK) + "(" + wideText(sum) + ")" +
                                     terms;
            out.push_back({ruleCode(rule.UNICOD), row.CODTAB, wideDecimal(lv - sum),
                           platform::cutToWidth(text, kErrorTextWidth), 0});
        }
    }
}

// Partial sums of the entry check keep three decimals.
double round3(double value) { return static_cast<double>(platform::roundScaled(value, 3)) / 1000.0; }

// Floating-point equality as the entry check tests it: a difference below
// 2^-50 of the magnitude counts as none.
bool nearlyEqual(double a, double b) {
    return std::fabs(a - b) <= std::ldexp(std::max(std::fabs(a), std::fabs(b)), -50);
}

bool holdsInFloatingPoint(int code, double left, double sum) {
    const bool equal = nearlyEqual(left, sum);
    switch (code) {
        case kRelEqual: return equal;
        case kRelGreater: return left > sum && !equal;
        case kRelGreaterEqual: return left > sum || equal;
        case kRelLess: return left < sum && !equal;
        case kRelLessEqual: return left < sum || equal;
        default: return true;
    }
}

}  // namespace

std::vector<ErrorLine> evaluateForm(const FormRules& rules, const CheckRows& rows, const TableList& tables,
                                    platform::Interaction& ui) {
    const Lookup look(rows, tables);
    std::vector<ErrorLine> lines;
    rowRules(rules, look, ui, lines);
    std::stable_sort(lines.begin(), lines.end(), [](const ErrorLine& x, const ErrorLine& y) {
        return x.table != y.table ? x.table < y.table : x.column < y.column;
    });
    tableRules(rules, look, ui, lines);
    columnRules(rules, rows, look, ui, lines);
    return lines;
}

EntryCheck checkEntryRow(const std::vector<data::ContrGr>& rules, int sm, std::string_view rowCode,
                         const CheckValues& values, bool quiet) {
    auto value = [&](int index) { return index < 1 || index > kCheckValues ? 0.0 : values[index - 1].toDouble(); };
    auto mark = [&](EntryCheck& check, int index, std::string text) {
        if (index >= 1 && index <= kCheckValues) check.markers.push_back({index, std::move(text)});
    };
    EntryCheck check;
    for (const data::ContrGr& rule : rules) {
        if (platform::trimRight(rule.CODSTR) != platform::trimRight(rowCode) && limitedToRow(rule.CODSTR)) continue;
        if (rule.SNAK < kRelEqual || rule.SNAK > kRelLessEqual) continue;
        const size_t n = termCount(rule.S1, rule.S1.size());
        double sum = 0;
        for (size_t k = 0; k < n; ++k) {
            const double v = value(std::abs(rule.S1[k]) - sm);
            sum = round3(rule.S1[k] > 0 ? sum + v : sum - v);
        }
        const double left = value(rule.S - sm);
        if (holdsInFloatingPoint(rule.SNAK, left, sum)) continue;
        check.failed = true;
        if (quiet) break;
        std::string text = "|гр" + formatNumber(rule.S) + "(" + formatNumber(left) + ")" + paddedRelation(rule.SNAK) +
                           "(" + formatNumber(sum) + ")";
        for (size_t k = 0; k < n; ++k) text += (k == 0 ? "гр" : "+гр") + formatNumber(rule.S1[k]);
        check.message = platform::cutToWidth(check.message + text, 70);
        for (size_t k = 0; k < n; ++k) mark(check, std::abs(rule.S1[k]) - sm, "?");
        mark(check, rule.S - sm, "?" + std::string(violationRelation(rule.SNAK)) + formatNumber(sum));
    }
    return check;
}

void reportEntryCheck(const EntryCheck& check, platform::Interaction& ui) {
    if (check.message.empty()) return;
    ui.beep();
    ui.message("Не выполнено условие|" + check.message);
}

// --- Inter-form rules ------------------------------------------------------

std::vector<InterformGroup> groupInterformTerms(const data::ContrStr& rule, platform::Interaction& ui) {
    struct Term {
        int form, row, index;
    };
    std::vector<Term> terms;
    for (size_t t = 0; t + 2 < rule.S1.size() && rule.S1[t] != 0; t += 3) {
        const int row = rule.S1[t + 1];
        const int index = rule.S1[t + 2];
        // OTC:DATA1 to OTC:DATA35; an index outside them names no value.
        if (std::abs(index) < 1 || std::abs(index) > static_cast<int>(data::Otchet{}.DATA.size())) {
            ui.message("ИСПРАВТЕ КОНТРОЛЬ " + formatNumber(rule.UNICOD));
            continue;
        }
        const bool minus = row < 0 || index < 0;
        terms.push_back({std::abs(rule.S1[t]), std::abs(row), minus ? -std::abs(index) : std::abs(index)});
    }
    std::stable_sort(terms.begin(), terms.end(), [](const Term& x, const Term& y) {
        if (x.form != y.form) return x.form < y.form;
        if (x.row != y.row) return x.row < y.row;
        return x.index < y.index;
    });
    std::vector<InterformGroup> groups;
    for (const Term& t : terms) {
        if (groups.empty() || groups.back().form != t.form || groups.back().row != t.row) {
            groups.push_back({t.form, t.row, {}});
        }
        if (groups.back().indexes.size() == kCheckValues) {
            ui.message("ПЕРЕПОЛНЕНИЕ ГРАФ");
            continue;
        }
        groups.back().indexes.push_back(t.index);
    }
    return groups;
}

platform::Status readInterformRule(const data::Installation& inst, int year, int64_t number, platform::Interaction& ui,
                                   std::optional<InterformRule>& rule) {
    rule.reset();
    data::RecordFile<data::ContrStr> file(inst.contrMFFile(year), data::label::contrMF);
    if (platform::Status st = file.open(); !st) return st;
    auto cursor = file.equal("COS:KEYUNICOD", {number});
    data::ContrStr rec;
    const bool present = cursor.next(rec);
    platform::Status st = cursor.status();
    file.close();
    if (!st) return st;
    if (!present) {
        ui.message("Контроль не найден");
        return platform::Status::ok();
    }
    rule = InterformRule{rec.UNICOD, rec.SNAK, groupInterformTerms(rec, ui)};
    return platform::Status::ok();
}

platform::Status sumInterform(const data::Installation& inst, int year, const InterformRule& rule,
                              const SubjectOf& subjectOf) {
    for (const InterformGroup& group : rule.groups) {
        data::RecordFile<data::Otchet> file(inst.valueFile(year, group.form));
        if (platform::Status st = file.open(); !st) return st;
        const std::string form = formatNumber(group.form);
        auto cursor = file.byKey("OTC:KEYCODSTR", {group.row});
        data::Otchet rec;
        while (cursor.next(rec) && rec.UNICODSTR == group.row) {
            InterformTotal* total = subjectOf(rec);
            if (!total) continue;
            for (int index : group.indexes) {
                const Decimal value = rec.DATA[std::abs(index) - 1];
                total->milli += index > 0 ? value.milli() : -value.milli();
                if (total->collectText) {
                    total->text = platform::cutToWidth(
                        total->text + (index > 0 ? "+(Ф" : "-(Ф") + form + ")" + formatNumber(value),
                        kInterformTextWidth);
                }
            }
        }
        platform::Status st = cursor.status();
        file.close();
        if (!st) return st;
    }
    return platform::Status::ok();
}

void markInterformViolation(const InterformRule& rule, InterformTotal& total) {
    const __int128 sum = total.milli;
    switch (rule.relation) {
        case kRelEqual: total.violated = sum != 0; break;
        case kRelGreater: total.violated = sum <= 0; break;
        case kRelGreaterEqual: total.violated = sum < 0; break;
        case kRelLess: total.violated = sum >= 0; break;
        case kRelLessEqual: total.violated = sum > 0; break;
        default: total.violated = false; break;
    }
}

}  // namespace tavir::controls
