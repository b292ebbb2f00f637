// The list of controls: the intra-form rules of one form written as
// formulas, in three lists (column, row and table rules), and its printout.
#pragma once

#include "controls/rules.h"
#include "entry/choosers.h"
#include "platform/status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavir::controls {

// "г5 >=г-3", "ЕСЛИ г5=0 ТО г1+г2=0".
std::string columnRuleFormula(const data::ContrGr& rule);
// "c1>=c2+3", "ЕСЛИ c1=0 ТО c2=0"; rows from the form's rows.
std::string rowRuleFormula(const data::ContrStr& rule, const FormRules& rules);
// ">=т2c1г4+т3c12г5"; the conditional relation shows no relation text.
std::string tableRuleFormula(const data::ContrTab& rule, const FormRules& rules);

struct ColumnRuleLine {  // "По графам"
    int rule = 0;
    int table = 0;
    std::string row;  // CON:CODSTR as stored
    std::string formula;
};

struct RowRuleLine {  // "По строкам"
    int64_t rule = 0;
    int table = 0;   // of the left row
    int column = 0;  // COS:CODGR, 0 for every column
    std::string formula;
    int leftRow = 0;  // unique code
    int number = 0;   // STR:NUMBER
    std::string code; // STR:CODSTR
};

struct TableRuleLine {  // "Межтабличный"
    int rule = 0;
    int table = 0;     // of the left row
    std::string code;  // printed code of the left row
    int column = 0;    // COT:CODGR
    std::string formula;
    int number = 0;    // STR:NUMBER of the left row
};

struct ControlLists {
    std::vector<ColumnRuleLine> columnRules;  // CON:CODTAB order
    std::vector<RowRuleLine> rowRules;        // COS:KEYCODFORM order
    std::vector<TableRuleLine> tableRules;    // by table, left row number, left column
};

ControlLists buildControlLists(const FormRules& rules);

// Which kinds the printout holds (dialog "Параметры печати").
struct PrintKinds {
    bool columnRules = false;  // " по графам"
    bool rowRules = false;     // " по строкам"
    bool tableRules = false;   // "межтабличный"
};

// The content of the printout: a title, then for each chosen kind that has
// rules a heading "Табл.", "Контроль", "Код" and one line per rule.
struct ControlListPrint {
    struct Line {
        int table = 0;
        std::string rule;  // first 4 characters of the rule number
        std::string text;
    };
    struct Section {
        std::vector<Line> lines;
    };
    int year = 0;
    int form = 0;
    std::string formName;
    std::vector<Section> sections;
};

// Window "Список  контролей".
class ControlListWindow {
public:
    explicit ControlListWindow(entry::ChooserContext ctx) : ctx_(std::move(ctx)) {}

    // Asks for a form and builds the lists; false in `chosen` when no form was
    // chosen and the procedure ends.
    platform::Status open(bool& chosen);
    // "Форма": another form; without a choice the current one stays.
    platform::Status changeForm();

    int year() const { return ctx_.year; }
    int form() const { return form_.code; }
    const std::string& formName() const { return form_.name; }
    const ControlLists& lists() const { return lists_; }

    ControlListPrint printout(const PrintKinds& kinds) const;

private:
    platform::Status load(const entry::FormChoice& form);

    entry::ChooserContext ctx_;
    entry::FormChoice form_;
    ControlLists lists_;
};

}  // namespace tavir::controls
