#include "entry/row_entry.h"

#include "entry_fixture.h"

#include <gtest/gtest.h>

using namespace tavir;
using namespace tavir::entry;
using platform::Decimal;
using Strings = std::vector<std::string>;

namespace {

Decimal d(double v) { return Decimal::fromDouble(v); }

class RowEntryTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
        EXPECT_TRUE(ui.allAnswersUsed());
    }
    std::unique_ptr<ReportEditor> open(int form, int64_t period = 0) {
        auto editor = std::make_unique<ReportEditor>(fx.installation(), ui, state, fx.report(form, period));
        EXPECT_TRUE(editor->start());
        return editor;
    }

    fixture::EntryInstallation fx;
    app::SharedState state;
    platform::ScriptedInteraction ui;
};

TEST_F(RowEntryTest, ColoursFollowTheRules) {
    auto ed = open(40);
    RowEntry first(*ed, ui, 0);
    EXPECT_EQ(first.caption(), "40 Форма 40");
    // Value 3 is a column total, value 2 is locked in row 1.
    EXPECT_FALSE(first.colouring().computed[0]);
    EXPECT_TRUE(first.colouring().computed[2]);
    EXPECT_TRUE(first.colouring().locked[1]);
    EXPECT_FALSE(first.colouring().locked[0]);

    // Row 3 is a row total: every entry green; nothing locked there.
    first.rowCodeTyped("3");
    EXPECT_EQ(first.row(), 2);
    EXPECT_EQ(ed->currentRow(), 2);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(first.colouring().computed[i]);
    EXPECT_FALSE(first.colouring().locked[1]);
    ed->close();
}

TEST_F(RowEntryTest, StoringChecksTheRowUnlessControlsAreOff) {
    fx.store(40, {{0, 1, 1, {1, 2, 3}}});
    auto ed = open(40);
    ASSERT_FALSE(ed->controlsOff());
    RowEntry entry(*ed, ui, 1);
    entry.values()[0] = d(5);
    entry.values()[2] = d(4);
    entry.store();
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].rfind("Не выполнено условие||гр5(4)", 0), 0u) << ui.messages()[0];
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_EQ(ed->grid()[1].ERROR, "?");
    EXPECT_EQ(ed->grid()[1].DATA[0], d(5));
    EXPECT_FALSE(entry.markers().empty());
    EXPECT_EQ(entry.storedCount(), 1);

    // Controls off: stored as typed, the mark kept, no message.
    ed->setControlsOff(true);
    entry.values()[1] = d(1);
    entry.store();
    EXPECT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ed->grid()[1].ERROR, "?");
    EXPECT_EQ(ed->grid()[1].DATA[1], d(1));

    // Closing syncs the stored rows into the cache.
    EXPECT_FALSE(ed->cache().count(2));
    entry.close();
    EXPECT_EQ(ed->cache().at(2).DATA[1], d(1));
    EXPECT_TRUE(ed->changed());
    ui.answerAsk(2);
    ed->close();
}

TEST_F(RowEntryTest, ClosingWithoutStoringLosesTheTypedValues) {
    auto ed = open(30);
    RowEntry entry(*ed, ui, 0);
    entry.values()[0] = d(7);
    entry.rowCodeTyped("2");  // moving on does not store either
    entry.close();
    EXPECT_TRUE(ed->grid()[0].DATA[0].isZero());
    EXPECT_FALSE(ed->changed());
    ed->close();
}

TEST_F(RowEntryTest, UnknownRowCodeOpensTheRowChooser) {
    auto ed = open(12, 3);
    RowEntry entry(*ed, ui, 0);
    ui.answerPick(2);
    entry.rowCodeTyped("77");
    ASSERT_EQ(ui.pickRequests().size(), 1u);
    const auto& request = ui.pickRequests()[0];
    EXPECT_EQ(request.caption, "Строки");
    EXPECT_EQ(request.startLine, 0);
    ASSERT_EQ(request.lines.size(), 3u);
    EXPECT_EQ(request.lines[2][0], "3");
    EXPECT_EQ(entry.row(), 2);

    // Closing the chooser keeps the row.
    ui.answerPick(std::nullopt);
    entry.chooseRow();
    EXPECT_EQ(ui.pickRequests()[1].startLine, 2);
    EXPECT_EQ(entry.row(), 2);
    ed->close();
}

TEST_F(RowEntryTest, AnotherTableCodeOpensTheTableChooser) {
    auto ed = open(12, 3);
    RowEntry entry(*ed, ui, 1);
    entry.values()[0] = d(3);
    entry.store();

    EXPECT_TRUE(entry.tableCodeTyped(1000));  // the current table: nothing happens
    EXPECT_TRUE(ui.pickRequests().empty());

    ui.answerPick(1);
    EXPECT_TRUE(entry.tableCodeTyped(5));
    EXPECT_EQ(ui.pickRequests().back().caption, "Таблицы");
    EXPECT_TRUE(entry.reopened());
    EXPECT_EQ(ed->currentTable().CODTABL, 2000);
    EXPECT_EQ(entry.row(), 0);
    EXPECT_EQ(entry.storedCount(), 0);
    // The row stored before reached the cache.
    EXPECT_EQ(ed->cache().at(2).DATA[0], d(3));
    ui.answerAsk(2);
    ed->close();
}

}  // namespace
