#include "controls/evaluation.h"

#include "controls_fixture.h"
#include "platform/scripted_interaction.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace tavir;
using namespace tavir::controls;
using platform::Decimal;
using platform::ScriptedInteraction;

namespace {

Decimal d(double v) { return Decimal::fromDouble(v); }

// Form 12: table 2 with two descriptive and four value columns, rows 1 to 3
// (unique codes 1 to 3); table 3 with no descriptive columns and five value
// columns, rows "12" (unique 12) and "7" (unique 17); table 4 with one
// descriptive and three value columns, row "41" (unique 41).
class Evaluation : public ::testing::Test {
protected:
    Evaluation() {
        rules.form = 12;
        addRow(1, 2, "1");
        addRow(2, 2, "2");
        addRow(3, 2, "3");
        addRow(12, 3, "12");
        addRow(17, 3, "7");
        addRow(41, 4, "41");
        tables = {{2, 2, 4}, {3, 0, 5}, {4, 1, 3}};
    }

    void addRow(int unicod, int table, std::string code) {
        rules.rows[unicod] = RowInfo{table, static_cast<int>(rules.rows.size()) + 1, code};
        rules.rowByCode[{table, code}] = unicod;
    }
    // A check row with values by value index from 1.
    void values(int unicod, int table, std::initializer_list<double> vs) {
        CheckRow r;
        r.UNICODSTR = unicod;
        r.CODTAB = table;
        int i = 0;
        for (double v : vs) r.DATA[i++] = d(v);
        rows.push_back(r);
    }
    // The rules of form 12.
    static data::ContrStr rowRule(int64_t number, int column, int left, int relation, std::initializer_list<int> terms) {
        return fixture::rowRule(number, 12, column, left, relation, terms);
    }
    static data::ContrGr columnRule(int number, int table, std::string row, int left, int relation,
                                    std::initializer_list<int> terms) {
        return fixture::columnRule(number, 12, table, std::move(row), left, relation, terms);
    }
    static data::ContrTab tableRule(int number, int left, int column, int relation,
                                    std::initializer_list<std::pair<int, int>> terms) {
        return fixture::tableRule(number, 12, left, column, relation, terms);
    }

    std::vector<ErrorLine> run() {
        auto lines = evaluateForm(rules, rows, tables, ui);
        EXPECT_TRUE(ui.unexpected().empty());
        return lines;
    }
    static std::vector<std::string> texts(const std::vector<ErrorLine>& lines) {
        std::vector<std::string> out;
        for (const auto& l : lines) out.push_back(l.text);
        return out;
    }

    FormRules rules;
    CheckRows rows;
    TableList tables;
    ScriptedInteraction ui;
};

TEST_F(Evaluation, RowRuleInOneColumn) {
    rules.rowRules = {rowRule(101, 4, 1, 3, {2, 3})};
    values(1, 2, {0, 10});
    values(2, 2, {0, 5});
    values(3, 2, {0, 7});
    auto lines = run();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "т2г4с1    (10)>=(12)c2+3");
    EXPECT_EQ(lines[0].code, "101");
    EXPECT_EQ(lines[0].table, 2);
    EXPECT_EQ(lines[0].column, 4);
    EXPECT_EQ(lines[0].deviation, d(-2));
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(Evaluation, ColumnRuleForOneRow) {
    rules.columnRules = {columnRule(55, 3, "12", 5, 1, {1, 2, -4})};
    values(12, 3, {10, 12, 0, 4, 20});
    values(17, 3, {10, 12, 0, 4, 20});  // row 7: the rule does not apply to it
    auto lines = run();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "т3с12 г5(20)= (18)г1+г2-г4");
    EXPECT_EQ(lines[0].column, 0);
    EXPECT_EQ(lines[0].deviation, d(2));
}

TEST_F(Evaluation, ColumnRuleRowCodeZeroOrBlankAppliesToEveryRow) {
    for (std::string code : {"0", "", "00"}) {
        rules.columnRules = {columnRule(56, 3, code, 2, 1, {1})};
        rows.clear();
        values(12, 3, {1, 2});
        values(17, 3, {3, 4});
        EXPECT_EQ(texts(run()), (std::vector<std::string>{"т3с12 г2(2)= (1)г1", "т3с7 г2(4)= (3)г1"})) << code;
    }
    rules.columnRules = {columnRule(56, 3, "7", 2, 1, {1})};
    EXPECT_EQ(texts(run()), (std::vector<std::string>{"т3с7 г2(4)= (3)г1"}));
}

TEST_F(Evaluation, ConditionalRelation) {
    struct Case {
        double left, sum;
        bool fails;
    };
    for (Case c : {Case{0, 0, false}, Case{5, 7, false}, Case{0, 7, true}}) {
        rules.rowRules = {rowRule(7, 3, 1, 6, {2})};
        rules.columnRules = {columnRule(8, 3, "", 1, 6, {2})};
        rules.tableRules = {tableRule(9, 1, 3, 6, {{2, 3}})};
        rows.clear();
        values(1, 2, {c.left});
        values(2, 2, {c.sum});
        values(12, 3, {c.left, c.sum});
        auto lines = run();
        if (!c.fails) {
            EXPECT_TRUE(lines.empty()) << c.left << " " << c.sum;
            continue;
        }
        EXPECT_EQ(texts(lines), (std::vector<std::string>{"т2г3с1    (0)? (7)c2", "т2с1    г3 (0)?(7)т2с2г3",
                                                          "т3с12 г1(0)? (7)г2"}));
    }
}

TEST_F(Evaluation, OneCharacterRelationPaddedInRowAndColumnRulesOnly) {
    rules.rowRules = {rowRule(1, 3, 1, 2, {2})};
    rules.tableRules = {tableRule(2, 1, 3, 2, {{2, 3}})};
    rules.columnRules = {columnRule(3, 3, "", 1, 2, {2})};
    values(1, 2, {10});
    values(2, 2, {12});
    values(12, 3, {10, 12});
    EXPECT_EQ(texts(run()),
              (std::vector<std::string>{"т2г3с1    (10)> (12)c2", "т2с1    г3 (10)>(12)т2с2г3", "т3с12 г1(10)> (12)г2"}));
}

TEST_F(Evaluation, RowRuleOverEveryColumnInColumnOrder) {
    addRow(42, 4, "42");
    rules.rowRules = {rowRule(5, 0, 41, 1, {42})};
    values(41, 4, {1, 2, 3});
    auto lines = run();
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i].column, i + 2);
        EXPECT_EQ(lines[i].text, "т4г" + std::to_string(i + 2) + "с41   (" + std::to_string(i + 1) + ")= (0)c42");
    }
}

TEST_F(Evaluation, NegativeFirstTerm) {
    // A row rule takes its first term as positive and shows it without sign.
    rules.rowRules = {rowRule(1, 3, 1, 1, {-2, 3})};
    // A column rule subtracts it and shows "-г".
    rules.columnRules = {columnRule(2, 3, "", 3, 1, {-1, 2})};
    values(1, 2, {1});
    values(2, 2, {5});
    values(3, 2, {7});
    values(12, 3, {5, 7, 1});
    EXPECT_EQ(texts(run()), (std::vector<std::string>{"т2г3с1    (1)= (12)c2+3", "т3с12 г3(1)= (2)-г1+г2"}));
}

TEST_F(Evaluation, AbsentRowCountsAsZero) {
    rules.rowRules = {rowRule(1, 3, 1, 1, {2})};
    values(1, 2, {5});
    EXPECT_EQ(texts(run()), (std::vector<std::string>{"т2г3с1    (5)= (0)c2"}));
    rows.clear();
    values(1, 2, {0});
    EXPECT_TRUE(run().empty());
}

TEST_F(Evaluation, OrderOfWork) {
    // Rule order: table 3 before table 2, column 4 before 3; lines come out by
    // table and column, then the table rule, then column rules row by row.
    rules.rowRules = {rowRule(1, 5, 12, 1, {}), rowRule(2, 4, 1, 1, {}), rowRule(3, 3, 1, 1, {})};
    rules.tableRules = {tableRule(4, 12, 1, 1, {})};
    rules.columnRules = {columnRule(6, 3, "", 2, 1, {}), columnRule(5, 2, "", 3, 1, {})};
    values(12, 3, {1, 1, 0, 0, 1});
    values(1, 2, {1, 1});
    std::vector<std::string> codes;
    for (const auto& l : run()) codes.push_back(l.code);
    EXPECT_EQ(codes, (std::vector<std::string>{"3", "2", "1", "4", "6", "5"}));
}

TEST_F(Evaluation, TableRuleHeadCutAtThirtyCharacters) {
    rules.tableRules = {tableRule(7, 1, 4, 3, {{2, 4}, {-12, 5}})};
    values(1, 2, {0, -1234567890123.25});
    values(2, 2, {0, 1});
    values(12, 3, {0, 0, 0, 0, 2});
    auto lines = run();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "т2с1    г4 (-1234567890123.25)(-1)т2с2г4-т3с12г5");
    EXPECT_EQ(lines[0].column, 4);
    EXPECT_EQ(lines[0].deviation, d(-1234567890122.25));
}

TEST_F(Evaluation, RuleCodeKeepsFourCharactersAndTextFiveHundred) {
    rules.rowRules = {rowRule(123456, 3, 1, 1, {})};
    auto& terms = rules.rowRules[0].S1;
    rules.rows[99] = RowInfo{2, 9, "9999999999"};
    terms.fill(99);
    values(1, 2, {1});
    auto lines = run();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].code, "1234");
    EXPECT_EQ(platform::charCount(lines[0].text), kErrorTextWidth);
}

TEST_F(Evaluation, RuleDataMessages) {
    rules.rowRules = {rowRule(101, 9, 1, 1, {2}),      // column 9 outside table 2
                      rowRule(102, 3, 500, 1, {2}),    // left row missing: skipped silently
                      rowRule(103, 3, 1, 1, {2})};
    rules.tableRules = {tableRule(7, 1, 7, 1, {{2, 3}}),  // left column outside
                        tableRule(8, 1, 3, 1, {{-99, 3}, {2, 9}, {2, 3}})};
    rules.columnRules = {columnRule(55, 3, "44", 2, 1, {1})};  // no row 44: every row
    values(1, 2, {5});
    values(12, 3, {1, 2});
    values(77, 9, {1});  // table 9 is not in the table list
    auto lines = run();
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"ИСПРАВТЕ КОНТРОЛЬ 101", "ИСПРАВТЕ КОНТРОЛЬ..... 7",
                                                       "НЕТ СТРОКИ -99", "ИСПРАВТЕ КОНТРОЛЬ !!!8|2 9 2 4",
                                                       "Исправте код строки в контроле 55", "f12?t9"}));
    // Evaluation went on: the skipped terms are out of the sum and the list.
    EXPECT_EQ(texts(lines), (std::vector<std::string>{"т2г3с1    (5)= (0)c2", "т2с1    г3 (5)=(0)+т2с2г3",
                                                      "т3с12 г2(2)= (1)г1"}));
}

TEST_F(Evaluation, TableRuleTermsFromOtherTablesAndRowsNotInStroka) {
    // Term row 77 is only among the check rows: it counts, but has no code to show.
    tables.push_back({9, 0, 2});
    rules.tableRules = {tableRule(3, 1, 3, 1, {{77, 2}, {12, 5}})};
    values(1, 2, {8});
    values(77, 9, {0, 3});
    values(12, 3, {0, 0, 0, 0, 4});
    auto lines = run();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "т2с1    г3 (8)=(7)+т3с12г5");
}

TEST_F(Evaluation, SumsAreExact) {
    // Beyond what a double tells apart: 10^14 and 10^14 + 0.001.
    rules.columnRules = {columnRule(1, 3, "", 4, 1, {1, 2, 3})};
    values(12, 3, {});
    rows[0].DATA = {Decimal::fromMilli(100), Decimal::fromMilli(200), Decimal::fromMilli(99'999'999'999'999'700),
                    Decimal::fromMilli(100'000'000'000'000'000)};
    EXPECT_TRUE(run().empty());
    rows[0].DATA[3] = Decimal::fromMilli(100'000'000'000'000'001);
    EXPECT_EQ(texts(run()), (std::vector<std::string>{"т3с12 г4(100000000000000.001)= (100000000000000)г1+г2+г3"}));
}

// --- Entry check ------------------------------------------------------------

class EntryCheckTest : public ::testing::Test {
protected:
    static data::ContrGr rule(std::string row, int left, int relation, std::initializer_list<int> terms) {
        data::ContrGr r;
        r.CODSTR = std::move(row);
        r.S = left;
        r.SNAK = relation;
        int k = 0;
        for (int t : terms) r.S1[k++] = t;
        return r;
    }
    static CheckValues vals(std::initializer_list<double> vs) {
        CheckValues v{};
        int i = 0;
        for (double x : vs) v[i++] = Decimal::fromDouble(x);
        return v;
    }
};

TEST_F(EntryCheckTest, MessageAndMarkers) {
    const std::vector<data::ContrGr> rules{rule("12", 7, 1, {3, 4, -6})};
    // Two descriptive columns: column c is value index c - 2.
    auto check = checkEntryRow(rules, 2, "12", vals({10, 12, 0, 4, 20}), false);
    EXPECT_TRUE(check.failed);
    EXPECT_EQ(check.message, "|гр7(20)= (18)гр3+гр4+гр-6");
    ASSERT_EQ(check.markers.size(), 4u);
    EXPECT_EQ(check.markers[0].valueIndex, 1);
    EXPECT_EQ(check.markers[0].text, "?");
    EXPECT_EQ(check.markers[2].valueIndex, 4);
    EXPECT_EQ(check.markers[3].valueIndex, 5);
    EXPECT_EQ(check.markers[3].text, "?=18");

    ScriptedInteraction ui;
    reportEntryCheck(check, ui);
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Не выполнено условие||гр7(20)= (18)гр3+гр4+гр-6"}));
}

TEST_F(EntryCheckTest, QuietModeOnlyMarksTheRow) {
    const std::vector<data::ContrGr> rules{rule("", 1, 1, {2}), rule("", 1, 2, {2})};
    auto check = checkEntryRow(rules, 0, "5", vals({1, 2}), true);
    EXPECT_TRUE(check.failed);
    EXPECT_TRUE(check.message.empty());
    EXPECT_TRUE(check.markers.empty());
    ScriptedInteraction ui;
    reportEntryCheck(check, ui);
    EXPECT_TRUE(ui.events().empty());
}

TEST_F(EntryCheckTest, TextCutAtSeventyCharacters) {
    std::vector<data::ContrGr> rules;
    for (int i = 0; i < 5; ++i) rules.push_back(rule("", 1, 1, {2, 3}));
    auto check = checkEntryRow(rules, 0, "1", vals({1, 2, 3}), false);
    EXPECT_EQ(check.message, "|гр1(1)= (5)гр2+гр3|гр1(1)= (5)гр2+гр3|гр1(1)= (5)гр2+гр3|гр1(1)= (5)г");
    EXPECT_EQ(platform::charCount(check.message), 70u);
}

TEST_F(EntryCheckTest, WhichRulesApply) {
    const auto values = vals({0, 7});
    // Code 6 is not tested while editing; a rule for another row is skipped.
    EXPECT_FALSE(checkEntryRow({rule("", 1, 6, {2})}, 0, "1", values, false).failed);
    EXPECT_FALSE(checkEntryRow({rule("7", 1, 1, {2})}, 0, "12", values, false).failed);
    EXPECT_TRUE(checkEntryRow({rule("7", 1, 1, {2})}, 0, "7", values, false).failed);
    EXPECT_TRUE(checkEntryRow({rule("0", 1, 1, {2})}, 0, "12", values, false).failed);
    EXPECT_TRUE(checkEntryRow({rule("12 ", 1, 1, {2})}, 0, "12", values, false).failed);
}

TEST_F(EntryCheckTest, PartialSumsRoundedToThreeDecimals) {
    // 1000000 + 0.1 - 1000000 is 0.10000000009 in binary floating point.
    const std::vector<data::ContrGr> equal{rule("", 4, 1, {1, 2, -3})};
    EXPECT_FALSE(checkEntryRow(equal, 0, "1", vals({1000000, 0.1, 1000000, 0.1}), false).failed);
    EXPECT_TRUE(checkEntryRow(equal, 0, "1", vals({1000000, 0.1, 1000000, 0.101}), false).failed);
    EXPECT_TRUE(checkEntryRow({rule("", 4, 2, {1, 2, -3})}, 0, "1", vals({1000000, 0.1, 1000000, 0.1}), false).failed);
    EXPECT_FALSE(checkEntryRow({rule("", 4, 5, {1, 2, -3})}, 0, "1", vals({1000000, 0.1, 1000000, 0.1}), false).failed);
}

}  // namespace
