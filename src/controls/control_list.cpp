#include "controls/control_list.h"

#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdlib>

namespace tavir::controls {

using platform::formatNumber;
using platform::Status;

std::string columnRuleFormula(const data::ContrGr& rule) {
    const size_t n = termCount(rule.S1, rule.S1.size());
    std::string terms;
    for (size_t k = 0; k < n; ++k) {
        const int t = rule.S1[k];
        terms += k == 0 ? formatNumber(t) : (t > 0 ? "+г" : "-г") + formatNumber(std::abs(t));
    }
    const std::string left = formatNumber(rule.S);
    const std::string formula = rule.SNAK == kRelConditional
                                    ? "ЕСЛИ г" + left + "=0 ТО г" + terms + "=0"
                                    : "г" + left + " " + std::string(formulaRelation(rule.SNAK)) + "г" + terms;
    return platform::cutToWidth(formula, 100);
}

std::string rowRuleFormula(const data::ContrStr& rule, const FormRules& rules) {
    const size_t n = termCount(rule.S1, rule.S1.size());
    std::string terms;
    for (size_t k = 0; k < n; ++k) {
        const int t = rule.S1[k];
        const RowInfo* row = rules.row(std::abs(t));
        if (!row) continue;
        terms += (t < 0 ? "-c" : k == 0 ? "c" : "+c") + row->CODSTR;
    }
    const RowInfo* left = rules.row(rule.UNICODSTR);
    const std::string leftCode = left ? left->CODSTR : std::string();
    const std::string formula = rule.SNAK == kRelConditional
                                    ? "ЕСЛИ c" + leftCode + "=0 ТО " + terms + "=0"
                                    : "c" + leftCode + std::string(formulaRelation(rule.SNAK)) + terms;
    return platform::cutToWidth(formula, 200);
}

std::string tableRuleFormula(const data::ContrTab& rule, const FormRules& rules) {
    const size_t n = termCount(rule.US1, rule.US1.size());
    std::string formula = rule.SNAK == kRelConditional ? std::string() : std::string(formulaRelation(rule.SNAK));
    for (size_t k = 0; k < n; ++k) {
        const int t = rule.US1[k];
        const RowInfo* row = rules.row(std::abs(t));
        if (!row) continue;
        formula += (t < 0 ? "-т" : k == 0 ? "т" : "+т") + formatNumber(row->CODTABL) + "c" + row->CODSTR + "г" +
                   formatNumber(rule.CODGRS1[k]);
    }
    return platform::cutToWidth(formula, 250);
}

ControlLists buildControlLists(const FormRules& rules) {
    ControlLists lists;
    for (const data::ContrGr& r : rules.columnRules) {
        lists.columnRules.push_back({r.UNICOD, r.CODTABL, platform::fitToWidth(r.CODSTR, 5), columnRuleFormula(r)});
    }
    for (const data::ContrStr& r : rules.rowRules) {
        const RowInfo* left = rules.row(r.UNICODSTR);
        lists.rowRules.push_back({r.UNICOD, left ? left->CODTABL : 0, r.CODGR, rowRuleFormula(r, rules), r.UNICODSTR,
                                  left ? left->NUMBER : 0, left ? left->CODSTR : std::string()});
    }
    for (const data::ContrTab& r : rules.tableRules) {
        const RowInfo* left = rules.row(r.UNICODSTR);
        lists.tableRules.push_back({r.UNICOD, left ? left->CODTABL : 0,
                                    left ? platform::cutToWidth(left->CODSTR, 10) : std::string(), r.CODGR,
                                    tableRuleFormula(r, rules), left ? left->NUMBER : 0});
    }
    std::stable_sort(lists.tableRules.begin(), lists.tableRules.end(), [](const TableRuleLine& a, const TableRuleLine& b) {
        if (a.table != b.table) return a.table < b.table;
        if (a.number != b.number) return a.number < b.number;
        return a.column < b.column;
    });
    return lists;
}

Status ControlListWindow::open(bool& chosen) {
    chosen = false;
    entry::FormChoice choice;
    if (Status st = entry::chooseForm(ctx_, 120, choice); !st) return st;
    if (choice.code == 0) return Status::ok();
    chosen = true;
    return load(choice);
}

Status ControlListWindow::changeForm() {
    entry::FormChoice choice = form_;
    if (Status st = entry::chooseForm(ctx_, 120, choice); !st) return st;
    if (choice.code == 0) return Status::ok();
    return load(choice);
}

Status ControlListWindow::load(const entry::FormChoice& form) {
    FormRules rules;
    if (Status st = loadFormRules(ctx_.installation, ctx_.year, form.code, rules); !st) {
        ctx_.ui.message(st.message());
        return st;
    }
    form_ = form;
    lists_ = buildControlLists(rules);
    return Status::ok();
}

ControlListPrint ControlListWindow::printout(const PrintKinds& kinds) const {
    ControlListPrint print{ctx_.year, form_.code, form_.name, {}};
    auto code = [](int64_t rule) { return platform::cutToWidth(formatNumber(rule), 4); };
    if (kinds.columnRules && !lists_.columnRules.empty()) {
        auto& s = print.sections.emplace_back();
        for (const auto& r : lists_.columnRules) {
            s.lines.push_back({r.table, code(r.rule), "по стр." + platform::padRight(r.row, 5) + r.formula});
        }
    }
    if (kinds.rowRules && !lists_.rowRules.empty()) {
        auto& s = print.sections.emplace_back();
        for (const auto& r : lists_.rowRules) {
            s.lines.push_back({r.table, code(r.rule), "по гр." + formatNumber(r.column) + " " + r.formula});
        }
    }
    if (kinds.tableRules && !lists_.tableRules.empty()) {
        auto& s = print.sections.emplace_back();
        for (const auto& r : lists_.tableRules) {
            s.lines.push_back({r.table, code(r.rule), "c" + r.code + "г" + formatNumber(r.column) + r.formula});
        }
    }
    return print;
}

}  // namespace tavir::controls
