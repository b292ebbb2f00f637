#include "entry/report_editor.h"

#include "entry_fixture.h"

#include <gtest/gtest.h>

using namespace tavir;
using namespace tavir::entry;
using platform::Decimal;
using Strings = std::vector<std::string>;

namespace {

Decimal d(double v) { return Decimal::fromDouble(v); }

class ReportEditorTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
        EXPECT_TRUE(ui.allAnswersUsed());
    }

    std::unique_ptr<ReportEditor> open(ChosenReport report, bool expectStarted = true) {
        auto editor = std::make_unique<ReportEditor>(fx.installation(), ui, state, std::move(report), &callerDistrict);
        EXPECT_EQ(editor->start(), expectStarted);
        return editor;
    }
    std::unique_ptr<ReportEditor> open(int form, int64_t period = 0) { return open(fx.report(form, period)); }

    fixture::EntryInstallation fx;
    app::SharedState state;
    platform::ScriptedInteraction ui;
    int callerDistrict = fixture::EntryInstallation::kDistrict;
};

TEST_F(ReportEditorTest, LoadsTheReportAndItsTables) {
    // Row 11 was stored under a wrong table code; period 2 is another report.
    fx.store(12, {{3, 2, 1000, {5, 6}}, {3, 11, 9999, {1}}, {2, 3, 1000, {9}}});
    auto ed = open(12, 3);
    EXPECT_EQ(fx.marks(), 1);
    EXPECT_EQ(ed->caption(), "Береговой р-н, Береговая ЦРБ");
    EXPECT_EQ(ed->periodName(), "март");
    ASSERT_EQ(ed->tables().size(), 2u);
    EXPECT_TRUE(ed->isFirstTable());
    EXPECT_FALSE(ed->isLastTable());

    // Rows in row-number order, values from the cache.
    ASSERT_EQ(ed->grid().size(), 3u);
    EXPECT_EQ(ed->grid()[1].CODSTR, "2");
    EXPECT_EQ(ed->grid()[1].DATA[0], d(5));
    EXPECT_EQ(ed->grid()[1].DATA[1], d(6));
    EXPECT_TRUE(ed->grid()[2].DATA[0].isZero());
    EXPECT_EQ(ed->cache().size(), 2u);

    // Value columns only: descriptive columns 1 and 2 are skipped.
    EXPECT_EQ(ed->columns()[0].COD, 3);
    EXPECT_EQ(ed->columns()[0].picture.decimals, 2);
    EXPECT_TRUE(ed->columns()[3].present);
    EXPECT_FALSE(ed->columns()[4].present);

    ASSERT_TRUE(ed->nextTable());
    EXPECT_TRUE(ed->isLastTable());
    EXPECT_EQ(ed->currentTable().CODTABL, 2000);
    EXPECT_EQ(ed->grid()[0].DATA[0], d(1));
    EXPECT_EQ(ed->cache().at(11).CODTABL, 2000);
    EXPECT_TRUE(ed->changed());

    ui.answerAsk(2);  // do not save
    EXPECT_TRUE(ed->close());
    EXPECT_EQ(ui.questions(), Strings{std::string(kCloseQuestion)});
    EXPECT_EQ(fx.marks(), 0);
    EXPECT_EQ(fx.stored(12, 3), (Strings{"2/1000: 5 6", "11/9999: 1"}));
}

TEST_F(ReportEditorTest, AllZeroRowsAreNeverWritten) {
    fx.store(12, {{3, 1, 1000, {1, 2}}, {3, 2, 1000, {3}}, {3, 11, 2000, {4}}});
    auto ed = open(12, 3);
    ed->setValue(1, 1, Decimal());  // row 2 becomes all zero
    ed->setValue(2, 2, d(7.5));
    EXPECT_TRUE(ed->saveReport());
    EXPECT_EQ(ui.messages(), Strings{std::string(kReportSavedMessage)});
    EXPECT_FALSE(ed->changed());
    EXPECT_EQ(fx.stored(12, 3), (Strings{"1/1000: 1 2", "3/1000: 0 7.5", "11/2000: 4"}));

    // The table save removes a record whose row became all zero, too.
    ed->setValue(0, 1, Decimal());
    ed->setValue(0, 2, Decimal());
    ed->saveTable();
    EXPECT_EQ(ui.messages().back(), kTableSavedMessage);
    EXPECT_EQ(fx.stored(12, 3), (Strings{"3/1000: 0 7.5", "11/2000: 4"}));
    ui.answerAsk(2);
    ed->close();
}

// A form of one table saves row by row: values 26 to 35 of its records and
// records of rows outside the grid stay. A form of several tables rewrites
// the report from the cache.
TEST_F(ReportEditorTest, SingleTableFormSavesOnlyItsGrid) {
    std::vector<double> wide(26, 0);
    wide[0] = 1;
    wide[25] = 5;
    fx.store(30, {{0, 1, 1, wide}, {0, 99, 7, {8}}});
    fx.store(12, {{3, 1, 1000, wide}});

    auto single = open(30);
    single->setValue(0, 1, d(2));
    EXPECT_TRUE(single->saveReport());
    EXPECT_EQ(fx.stored(30, 0), (Strings{"1/1: 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 5", "99/7: 8"}));
    single->close();

    auto several = open(12, 3);
    several->setValue(0, 1, d(2));
    EXPECT_TRUE(several->saveReport());
    EXPECT_EQ(fx.stored(12, 3), (Strings{"1/1000: 2"}));
    several->close();
    EXPECT_EQ(ui.messages(), (Strings{std::string(kReportSavedMessage), std::string(kReportSavedMessage)}));
}

TEST_F(ReportEditorTest, ControlsOffForANewReportWithTotals) {
    struct Case {
        int form;
        bool stored;
        bool off;
    } cases[] = {
        {40, false, true},   // new report, table with rules
        {40, true, false},   // a stored report
        {30, false, false},  // no rules
        {41, false, false},  // new, but row 2 already breaks "column 3 > column 4"
    };
    for (const Case& c : cases) {
        if (c.stored) fx.store(c.form, {{0, 1, 1, {1, 2, 3}}});
        auto ed = open(c.form);
        EXPECT_EQ(ed->controlsOff(), c.off) << c.form;
        if (c.form == 41) {
            EXPECT_EQ(ed->grid()[0].ERROR, "");
            EXPECT_EQ(ed->grid()[1].ERROR, "?");
        }
        ed->close();
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(ReportEditorTest, ClearingATableAloneChangesNothingStored) {
    fx.store(12, {{3, 1, 1000, {1}}, {3, 11, 2000, {2}}});
    const std::string before = fx.dump(12);
    auto ed = open(12, 3);

    ui.answerAsk(1);  // "&Нет"
    ed->clearTable();
    EXPECT_EQ(ed->grid()[0].DATA[0], d(1));

    ui.answerAsk(2);  // "&Да"
    ed->clearTable();
    EXPECT_EQ(ui.questions().back(), "Очистить таблицу 1000?");
    EXPECT_TRUE(ed->grid()[0].DATA[0].isZero());
    EXPECT_EQ(ed->cache().count(1), 0u);
    EXPECT_EQ(ed->cache().count(11), 1u);
    EXPECT_FALSE(ed->changed());

    EXPECT_TRUE(ed->close());
    EXPECT_EQ(ui.questions().size(), 2u);
    EXPECT_EQ(fx.dump(12), before);
}

TEST_F(ReportEditorTest, StaleEditMark) {
    {
        data::RecordFile<data::Wwod> marks(fx.dir() / "WWOD.dat");
        ASSERT_TRUE(marks.open().isOk());
        data::Wwod m;
        m.YEAR = fixture::EntryInstallation::kYear;
        m.CODUCH = fixture::EntryInstallation::kFacility;
        m.CODFORM = 12;
        ASSERT_TRUE(marks.add(m).isOk());
    }
    ui.answerAsk(1);  // "&Выход": entry ends, the mark stays
    auto left = open(fx.report(12, 3), false);
    EXPECT_TRUE(left->ended());
    left.reset();
    EXPECT_EQ(fx.marks(), 1);

    ui.answerAsk(2);  // "&Продолжить"
    auto ed = open(12, 3);
    EXPECT_EQ(ui.questions(), (Strings{std::string(kBusyQuestion), std::string(kBusyQuestion)}));
    EXPECT_EQ(fx.marks(), 1);
    ed->setValue(0, 1, d(4));
    EXPECT_TRUE(ed->saveReport());
    EXPECT_TRUE(ed->close());
    EXPECT_EQ(fx.marks(), 0);
    EXPECT_EQ(fx.stored(12, 3), Strings{"1/1000: 4"});
}

// The storage refuses the third record of the save (a value beyond the
// DECIMAL 9,3 range) after the old records were deleted and two new ones
// added: the stored report stays exactly as it was.
TEST_F(ReportEditorTest, InterruptedSaveLeavesTheStoredReportWhole) {
    fx.store(12, {{3, 1, 1000, {1}}, {3, 2, 1000, {2}}, {3, 3, 1000, {3}}, {3, 11, 2000, {4}}, {4, 1, 1000, {9}}});
    const std::string before = fx.dump(12);
    auto ed = open(12, 3);
    ed->setValue(0, 1, d(10));
    ed->setValue(2, 1, Decimal::fromMilli(Decimal::kMaxMilli + 1));

    EXPECT_FALSE(ed->saveReport());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].rfind("Отчет не записан.|", 0), 0u) << ui.messages()[0];
    EXPECT_EQ(fx.dump(12), before);
    EXPECT_TRUE(ed->changed());

    // The table save goes through the same single change.
    ed->saveTable();
    EXPECT_EQ(ui.messages().back().rfind("Таблица не записана.|", 0), 0u);
    EXPECT_EQ(fx.dump(12), before);

    // Closing with the failing save keeps the window and the mark.
    ui.answerAsk(1);
    EXPECT_FALSE(ed->close());
    EXPECT_FALSE(ed->ended());
    EXPECT_EQ(fx.marks(), 1);

    ed->setValue(2, 1, d(30));
    EXPECT_TRUE(ed->saveReport());
    EXPECT_EQ(fx.stored(12, 3), (Strings{"1/1000: 10", "2/1000: 2", "3/1000: 30", "11/2000: 4"}));
    EXPECT_EQ(fx.stored(12, 4), Strings{"1/1000: 9"});
    ed->close();
}

TEST_F(ReportEditorTest, EmptyReportIsOneZeroRecord) {
    fx.store(12, {{3, 2, 1000, {5}}, {3, 11, 2000, {1}}});
    auto ed = open(12, 3);
    ui.answerAsk(2);  // "&Отменить"
    ed->emptyReport();
    EXPECT_FALSE(ed->ended());
    EXPECT_EQ(fx.stored(12, 3).size(), 2u);

    ui.answerAsk(1);
    ed->emptyReport();
    EXPECT_EQ(ui.questions(), (Strings{std::string(kEmptyQuestion), std::string(kEmptyQuestion)}));
    EXPECT_EQ(ui.messages(), Strings{std::string(kReportSavedMessage)});
    EXPECT_TRUE(ed->ended());
    EXPECT_EQ(fx.marks(), 0);
    EXPECT_EQ(fx.stored(12, 3), Strings{"1/1000:"});

    // A report without data is emptied without the question; values typed in
    // the grid count as data.
    auto typed = open(12, 5);
    typed->setValue(1, 1, d(1));
    ui.answerAsk(1);
    typed->emptyReport();
    auto blank = open(12, 6);
    blank->emptyReport();
    EXPECT_EQ(ui.questions().size(), 3u);
    EXPECT_EQ(fx.stored(12, 6), Strings{"1/1000:"});
}

TEST_F(ReportEditorTest, DeletingAGivenReport) {
    fx.store(12, {{3, 2, 1000, {5}}, {3, 11, 2000, {1}}, {4, 2, 1000, {6}}});
    ChosenReport given = fx.report(12, 3);
    given.given = true;
    auto ed = open(given);
    EXPECT_FALSE(ed->canChangeReport());

    ui.answerAsk(1);  // "&НЕТ"
    ed->deleteReport();
    EXPECT_FALSE(ed->ended());
    EXPECT_EQ(callerDistrict, fixture::EntryInstallation::kDistrict);

    ui.answerAsk(2);  // "&ДА"
    ed->deleteReport();
    EXPECT_EQ(ui.questions(), (Strings{std::string(kDeleteQuestion), std::string(kDeleteQuestion)}));
    EXPECT_TRUE(ed->ended());
    EXPECT_EQ(callerDistrict, 0);
    EXPECT_EQ(fx.marks(), 0);
    EXPECT_TRUE(fx.stored(12, 3).empty());
    EXPECT_EQ(fx.stored(12, 4), Strings{"2/1000: 6"});
}

TEST_F(ReportEditorTest, CloseAsksToSaveChanges) {
    auto ed = open(12, 3);
    ed->setValue(0, 1, d(1));
    ui.answerAsk(0);  // the question closed without an answer: the window stays
    EXPECT_FALSE(ed->close());
    ui.answerAsk(1);
    EXPECT_TRUE(ed->close());
    EXPECT_TRUE(ed->ended());
    EXPECT_EQ(ui.questions(), (Strings{std::string(kCloseQuestion), std::string(kCloseQuestion)}));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(fx.stored(12, 3), Strings{"1/1000: 1"});
    EXPECT_EQ(fx.marks(), 0);
}

// The calculation works on the shown table: another table's rules and
// values wait for their own calculation. Whole-report rows take the cache.
TEST_F(ReportEditorTest, CalculationChangesOnlyTheShownTable) {
    fx.store(12, {{3, 11, 2000, {4}}});
    auto ed = open(12, 3);
    ed->setValue(0, 1, d(1));
    ed->setValue(0, 2, d(2));
    ed->setValue(1, 1, d(10));
    ed->calculate();
    EXPECT_EQ(ed->grid()[0].DATA[3], d(3));
    EXPECT_EQ(ed->grid()[1].DATA[3], d(10));
    EXPECT_EQ(ed->cache().at(1).DATA[3], d(3));
    EXPECT_TRUE(ed->cache().at(11).DATA[1].isZero());

    ASSERT_TRUE(ed->nextTable());
    ed->calculate();
    EXPECT_EQ(ed->grid()[0].DATA[1], d(4));
    // Value 2 := value 1 comes first (kind 1); then row 11 := rows 1 and 2 of
    // table 1000 as the cache holds them (kind 3).
    EXPECT_EQ(ed->grid()[1].DATA[0], d(11));
    EXPECT_EQ(ed->grid()[1].DATA[1], d(2));
    ui.answerAsk(2);
    ed->close();
}

TEST_F(ReportEditorTest, CarryOverMarksTheReportChanged) {
    fx.store(342, {{2, 1, 1, {0, 0, 0, 4, 5, 6}}});
    auto march = open(342, 3);
    EXPECT_TRUE(march->carryOverShown());
    march->setValue(1, 1, d(9));
    march->saveReport(false);
    march->carryOverBalances();
    EXPECT_TRUE(march->changed());
    EXPECT_EQ(march->grid()[0].DATA[0], d(4));
    EXPECT_EQ(march->grid()[0].DATA[2], d(6));
    EXPECT_TRUE(march->grid()[1].DATA[0].isZero());
    ui.answerAsk(2);
    march->close();

    EXPECT_FALSE(open(342, 1)->carryOverShown());
    EXPECT_FALSE(open(12, 3)->carryOverShown());
}

// "Контроль" checks the report as the grid holds it, values not yet synced included.
TEST_F(ReportEditorTest, ControlRunOnTheCache) {
    struct Views : controls::ControlViews {
        void showErrorList(controls::ErrorListWindow& window) override { lines = window.lines(); }
        void showRunResults(controls::RunResultsWindow&) override { ADD_FAILURE(); }
        std::vector<controls::ErrorLine> lines;
    } views;
    fx.store(40, {{0, 1, 1, {1, 2, 3}}});
    auto ed = open(40);
    ed->setValue(1, 1, d(5));  // row 2: column 5 (0) is not column 3 + column 4 (5)
    ed->runControls(views);
    ASSERT_EQ(views.lines.size(), 1u);
    EXPECT_EQ(views.lines[0].code, "1");
    EXPECT_EQ(views.lines[0].deviation, d(-5));
    EXPECT_TRUE(ed->changed());
    ui.answerAsk(2);
    ed->close();
}

TEST_F(ReportEditorTest, TableWithoutRowsEndsEntry) {
    auto ed = open(fx.report(50), false);
    EXPECT_TRUE(ed->ended());
    EXPECT_EQ(ui.messages(), Strings{std::string(kNoRowsMessage)});
    EXPECT_EQ(fx.marks(), 0);
}

TEST_F(ReportEditorTest, OtherFormAndOtherFacility) {
    auto ed = open(12, 3);
    ed->setValue(0, 1, d(1));

    // "Форма" with the chooser closed: the same report goes on, still changed.
    ui.answerAsk(2);
    ui.answerPick(std::nullopt);
    ed->otherForm();
    EXPECT_EQ(ui.questions(), Strings{std::string(kChangeQuestion)});
    EXPECT_FALSE(ed->ended());
    EXPECT_EQ(ed->report().formCode, 12);
    EXPECT_TRUE(ed->changed());
    EXPECT_EQ(fx.marks(), 1);

    // Saved, then form 30 (annual: no period window) for the same facility.
    ui.answerAsk(1);
    ui.answerPick(1);
    ed->otherForm();
    EXPECT_EQ(fx.stored(12, 3), Strings{"1/1000: 1"});
    EXPECT_EQ(ed->report().formCode, 30);
    EXPECT_EQ(ed->report().period, 0);
    EXPECT_EQ(ed->grid().size(), 2u);
    EXPECT_FALSE(ed->changed());
    EXPECT_EQ(fx.marks(), 1);

    // "ЛПУ": district 5, then the second facility of its list.
    ui.answerPick(0);
    ui.answerPick(1);
    ed->otherFacility();
    EXPECT_EQ(ed->report().facility, 320);
    EXPECT_EQ(ed->report().formCode, 30);
    EXPECT_EQ(fx.marks(), 1);

    // A facility chooser closed ends entry.
    ui.answerPick(0);
    ui.answerPick(std::nullopt);
    ed->otherFacility();
    EXPECT_TRUE(ed->ended());
    EXPECT_EQ(fx.marks(), 0);
}

}  // namespace
