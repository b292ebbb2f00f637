#include "controls/control_list.h"

#include "controls_fixture.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using namespace tavir::controls;
using namespace tavir::fixture;

namespace {

FormRules formRules() {
    FormRules r;
    r.form = 12;
    for (auto [unicod, table, number, code] : {std::tuple{1, 2, 1, "1"}, {2, 2, 2, "2"}, {3, 2, 3, "3"},
                                               {12, 3, 1, "12"}, {13, 3, 2, "13"}}) {
        r.rows[unicod] = RowInfo{table, number, code};
    }
    return r;
}

TEST(ControlListFormulas, ColumnRules) {
    struct Case {
        int left, relation;
        std::initializer_list<int> terms;
        const char* formula;
    };
    for (const Case& c : {Case{5, 3, {-3}, "г5 >=г-3"}, Case{5, 1, {1, 2, -4}, "г5 =г1+г2-г4"},
                          Case{5, 6, {1, 2, -4}, "ЕСЛИ г5=0 ТО г1+г2-г4=0"}, Case{4, 9, {2}, "г4 г2"},
                          Case{7, 5, {6}, "г7 <=г6"}}) {
        EXPECT_EQ(columnRuleFormula(columnRule(1, 12, 3, "", c.left, c.relation, c.terms)), c.formula);
    }
}

TEST(ControlListFormulas, RowRules) {
    const FormRules rules = formRules();
    struct Case {
        int relation;
        std::initializer_list<int> terms;
        const char* formula;
    };
    for (const Case& c : {Case{3, {2, -3}, "c1>=c2-c3"}, Case{1, {-2, 3}, "c1=-c2+c3"},
                          Case{2, {2, 99, 3}, "c1>c2+c3"}, Case{6, {2, -3}, "ЕСЛИ c1=0 ТО c2-c3=0"}}) {
        EXPECT_EQ(rowRuleFormula(rowRule(1, 12, 0, 1, c.relation, c.terms), rules), c.formula);
    }
}

TEST(ControlListFormulas, TableRules) {
    const FormRules rules = formRules();
    EXPECT_EQ(tableRuleFormula(tableRule(1, 12, 1, 4, 2, {{2, 4}, {-12, 5}}), rules), ">т2c2г4-т3c12г5");
    EXPECT_EQ(tableRuleFormula(tableRule(1, 12, 1, 4, 6, {{-2, 4}, {12, 5}}), rules), "-т2c2г4+т3c12г5");
}

TEST(ControlListFormulas, ListsAndTheirOrder) {
    FormRules rules = formRules();
    rules.columnRules = {columnRule(3, 12, 2, "", 4, 1, {3}), columnRule(4, 12, 2, "0", 4, 1, {3})};
    rules.rowRules = {rowRule(100001, 12, 0, 2, 1, {3})};
    rules.tableRules = {tableRule(7, 12, 13, 5, 1, {{1, 3}}), tableRule(8, 12, 12, 6, 1, {{1, 3}}),
                        tableRule(9, 12, 12, 5, 1, {{1, 3}}), tableRule(10, 12, 3, 5, 1, {{1, 3}})};
    const ControlLists lists = buildControlLists(rules);
    ASSERT_EQ(lists.columnRules.size(), 2u);
    EXPECT_EQ(lists.columnRules[0].row, "");
    EXPECT_EQ(lists.columnRules[1].row, "0");
    ASSERT_EQ(lists.rowRules.size(), 1u);
    EXPECT_EQ(lists.rowRules[0].column, 0);
    EXPECT_EQ(lists.rowRules[0].table, 2);
    EXPECT_EQ(lists.rowRules[0].number, 2);
    EXPECT_EQ(lists.rowRules[0].formula, "c2=c3");
    std::vector<int> order;
    for (const auto& t : lists.tableRules) order.push_back(t.rule);
    EXPECT_EQ(order, (std::vector<int>{10, 9, 8, 7}));
    EXPECT_EQ(lists.tableRules[0].code, "3");
}

class ControlListWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        YearFiles y;
        y.forms = {InstallationFixture::form(12, "12", "Сведения о заболеваемости", 1),
                   InstallationFixture::form(30, "30", "Сведения об учреждении", 0)};
        y.rows = {row(12, 2, 1, 1, "1"), row(12, 2, 2, 2, "2"), row(30, 1, 5, 1, "05")};
        y.columnRules = {columnRule(3, 12, 2, "", 4, 3, {-3}), columnRule(4, 30, 1, "05", 2, 1, {1})};
        y.rowRules = {rowRule(123456, 12, 0, 1, 6, {2})};
        y.tableRules = {tableRule(7, 12, 1, 3, 1, {{2, 3}})};
        writeYear(fx, y);
    }
    InstallationFixture fx;
    platform::ScriptedInteraction ui;
};

TEST_F(ControlListWindowTest, OpenChangeAndPrint) {
    ControlListWindow w(entry::ChooserContext{fx.installation(), ui, kYear, {}});
    bool chosen = true;
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(w.open(chosen).isOk());
    EXPECT_FALSE(chosen);

    ui.answerPick(0);  // form 12
    ASSERT_TRUE(w.open(chosen).isOk());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(w.form(), 12);
    EXPECT_EQ(w.formName(), "Сведения о заболеваемости");
    EXPECT_EQ(w.lists().columnRules.size(), 1u);

    auto print = w.printout({true, true, false});
    EXPECT_EQ(print.year, kYear);
    ASSERT_EQ(print.sections.size(), 2u);
    EXPECT_EQ(print.sections[0].lines[0].text, "по стр.     г4 >=г-3");
    EXPECT_EQ(print.sections[1].lines[0].rule, "1234");
    EXPECT_EQ(print.sections[1].lines[0].text, "по гр.0 ЕСЛИ c1=0 ТО c2=0");
    print = w.printout({false, false, true});
    ASSERT_EQ(print.sections.size(), 1u);
    EXPECT_EQ(print.sections[0].lines[0].text, "c1г3=т2c2г3");
    EXPECT_EQ(print.sections[0].lines[0].table, 2);

    // "Форма" closed without a choice keeps the form; a choice rebuilds.
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(w.changeForm().isOk());
    EXPECT_EQ(w.form(), 12);
    ui.answerPick(1);
    ASSERT_TRUE(w.changeForm().isOk());
    EXPECT_EQ(w.form(), 30);
    ASSERT_EQ(w.lists().columnRules.size(), 1u);
    EXPECT_EQ(w.lists().columnRules[0].row, "05");
    EXPECT_TRUE(w.lists().rowRules.empty());
    EXPECT_EQ(w.printout({true, true, true}).sections.size(), 1u);
    EXPECT_TRUE(ui.unexpected().empty());
}

}  // namespace
