#include "analysis/consolidation_window.h"

#include "consolidation_fixture.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

namespace tavir::analysis {
namespace {

using Strings = std::vector<std::string>;

class ConsolidationWindowTest : public ::testing::Test {
protected:
    ConsolidationWindow window(int64_t lower, int64_t upper) {
        registry::AnalysisRequest r = fx.request(lower, upper);
        r.formNumber = "40";
        r.formName = "Сведения";
        r.title = "2026г. Тарвинская область";
        return ConsolidationWindow(fx.installation(), state, ui, r);
    }
    Strings codes(const ConsolidationWindow& w) const {
        Strings out;
        for (const auto& row : w.grid()) out.push_back(row.code + row.mark);
        return out;
    }

    ConsolidationFixture fx;
    app::SharedState state;
    platform::ScriptedInteraction ui;
};

TEST_F(ConsolidationWindowTest, TablesGridMarksAndFilledRows) {
    auto w = window(1, 3);
    ASSERT_TRUE(w.open());
    EXPECT_EQ(w.caption(), "40(40) Сведения");
    // Rows 1 and 2 break the column rule; row 3 was never reported.
    EXPECT_EQ(codes(w), (Strings{"1?", "2?", "3"}));
    EXPECT_FALSE(w.grid()[2].consolidated);
    EXPECT_EQ(ui.messages(), Strings{std::string(kColumnErrorsMessage)});
    EXPECT_FALSE(w.hasPrevious());
    ASSERT_TRUE(w.hasNext());

    // Columns: code, mark, the name column, the sex column, three values
    // with their kinds, the last centred.
    Strings headings;
    for (const auto& c : w.columns()) headings.push_back(c.heading + "/" + std::to_string(c.kind));
    EXPECT_EQ(headings, (Strings{"Nстроки/0", "Ош./0", "/0", "/0", "3/0", "4/1", "5/3"}));
    EXPECT_EQ(w.columns()[2].width, 220);
    EXPECT_TRUE(w.columns().back().centred);

    w.setFilledOnly(true);
    EXPECT_EQ(codes(w), (Strings{"1?", "2?"}));
    EXPECT_FALSE(w.controlAvailable());
    ASSERT_TRUE(w.nextTable());
    EXPECT_EQ(w.currentTable().code, 2);
    EXPECT_EQ(codes(w), Strings{"1"});
    EXPECT_FALSE(w.hasNext());
    w.setFilledOnly(false);
    EXPECT_TRUE(w.controlAvailable());

    ui.answerPick(0);
    ASSERT_TRUE(w.chooseTable());
    EXPECT_EQ(w.currentTable().code, 1);
    EXPECT_EQ(ui.pickRequests().back().caption, "Таблицы");

    // The controls over the totals find the column rule's rows.
    std::vector<controls::ResultEntry> lines;
    ASSERT_TRUE(w.controlLines(lines));
    EXPECT_EQ(lines.size(), 2u);

    const maintenance::PrintRequest print = w.printRequest();
    EXPECT_EQ(print.label, "2026г. Тарвинская область");
    EXPECT_EQ(print.currentTable, 1);
    EXPECT_EQ(print.rows.size(), 3u);
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(ConsolidationWindowTest, TheYearBefore) {
    auto w = window(1, 3);
    ASSERT_TRUE(w.open());
    // No year directory before: told, and the comparison stays off.
    ASSERT_TRUE(w.setComparing(true));
    EXPECT_FALSE(w.comparing());
    EXPECT_NE(ui.messages().back().find("Нет данных за 2025г."), std::string::npos) << ui.messages().back();

    // 2025: row 1 at 500 in months 1 to 3 of facility 310; row 3 only then.
    const auto dir = fx.dir() / "2025";
    fx.forms(2025, {fixture::InstallationFixture::form(40, "40", "Сведения", 1)});
    fx.write<data::Tabl>(dir / "Tabl.dat", {fixture::table(40, 1, 2, 3)});
    fx.write<data::Grafa>(dir / "Grafa.dat", {});
    fx.write<data::Otchet>(dir / "F0040.dat", {ConsolidationFixture::value(310, 5, 1, 1, 1, 500),
                                               ConsolidationFixture::value(310, 5, 2, 1, 3, 7)});
    ASSERT_TRUE(w.setComparing(true));
    ASSERT_TRUE(w.comparing());
    // Column 1 of row 1: 606 now, 500 before: +21.2 %, beyond the default 20 %.
    EXPECT_EQ(w.previousValue(0, 1).milli(), 500000);
    CellChange c = w.change(0, 1);
    EXPECT_EQ(c.state, CellChange::Beyond);
    EXPECT_NEAR(c.percent, 21.2, 1e-9);
    w.setThreshold(25);
    EXPECT_EQ(w.change(0, 1).state, CellChange::Same);
    EXPECT_EQ(w.change(1, 1).state, CellChange::NewNow);
    EXPECT_EQ(w.change(2, 1).state, CellChange::GoneNow);
    // The column rule is not checked while the year before is shown.
    EXPECT_EQ(codes(w), (Strings{"1", "2", "3"}));
    ASSERT_TRUE(w.setComparing(false));
    EXPECT_EQ(codes(w), (Strings{"1?", "2?", "3"}));
}

TEST(StoredHeadings, TextsBetweenTildes) {
    EXPECT_EQ(storedHeadings("20L(2)|M~Nстроки~@s8@12L~Ош.~@s1@~без конца"), (Strings{"Nстроки", "Ош."}));
    EXPECT_TRUE(storedHeadings("20L(2)|M@s8@").empty());
}

TEST_F(ConsolidationWindowTest, StoredLayoutHeadings) {
    fx.write<data::Sapki>(fx.file("Sapki.tps"), {{40 * 10000 + 1, "30L~Строка~@s8@12L~!~@s1@"}});
    auto w = window(1, 3);
    ASSERT_TRUE(w.open());
    EXPECT_EQ(w.columns()[0].heading, "Строка");
    EXPECT_EQ(w.columns()[1].heading, "!");
    EXPECT_EQ(w.columns()[4].heading, "3");
}

TEST(CompareCell, States) {
    using D = Decimal;
    EXPECT_EQ(compareCell(D::fromMilli(0), D::fromMilli(0), 20).state, CellChange::None);
    EXPECT_EQ(compareCell(D::fromMilli(80000), D::fromMilli(100000), 20).state, CellChange::Same);
    EXPECT_EQ(compareCell(D::fromMilli(79999), D::fromMilli(100000), 20).state, CellChange::Beyond);
    EXPECT_EQ(compareCell(D::fromMilli(-150), D::fromMilli(-100), 20).percent, -50);
}

}  // namespace
}  // namespace tavir::analysis
