#include "controls/control_run.h"

#include "controls/printouts.h"
#include "controls_fixture.h"
#include "platform/number_format.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using namespace tavir::controls;
using namespace tavir::fixture;

namespace {

// Form 12, table 1 with one descriptive column: rule 10 "if row 1 is 0 then
// row 2 is 0" and rule 11 "if row 3 is 0 then row 2 is 0", both in column 2.
// District 5 has facilities 501, 503 and 502 (in file order), district 7
// has 701. Months 3 and 4 hold:
//   501 (m3): row 1 = 5, row 2 = 3            -> rule 11 fails
//   503 (m3): row 2 = 2                       -> rules 10 and 11 fail
//   502 (m4): row 1 = -5, row 2 = 4, row 3 = 3
//   701 (m3): row 2 = 1, row 3 = 1            -> rule 10 fails
// District 5 as a whole: row 1 = 0, row 2 = 9, row 3 = 3 -> rule 10 fails.
// Month 6 of 501 (row 1 = -5) lies outside the range.
class ControlRuns : public ::testing::Test {
protected:
    void SetUp() override {
        fx.regions({{7, "Озерный"}, {5, "Береговой"}});
        fx.facilities({InstallationFixture::facility(501, 5, "Больница А"),
                       InstallationFixture::facility(503, 5, "Амбулатория"),
                       InstallationFixture::facility(502, 5, "Больница Б"),
                       InstallationFixture::facility(701, 7, "Озерная ЦРБ")});
        YearFiles y;
        y.forms = {InstallationFixture::form(30, "30", "Сведения об учреждении", 0),
                   InstallationFixture::form(12, "12", "Сведения о заболеваемости", 1),
                   InstallationFixture::form(850, "850", "Служебная", 0),
                   InstallationFixture::form(7, "7", "Отключенная", 0, 1)};
        y.tables = {table(12, 1, 1, 3), table(30, 1, 0, 2)};
        y.rows = {row(12, 1, 1, 1, "1"), row(12, 1, 2, 2, "2"), row(12, 1, 3, 3, "3"), row(30, 1, 1, 1, "1")};
        y.rowRules = {rowRule(10, 12, 2, 1, 6, {2}), rowRule(11, 12, 2, 3, 6, {2})};
        writeYear(fx, y);
        fx.write(fx.installation().valueFile(kYear, 12), records());
        fx.write(fx.installation().valueFile(kYear, 30), std::vector<data::Otchet>{});
    }

    static std::vector<data::Otchet> records() {
        return {value(5, 501, 1, 3, 1, {5}), value(5, 501, 1, 3, 2, {3}),  value(5, 501, 1, 6, 1, {-5}),
                value(5, 503, 1, 3, 2, {2}), value(5, 502, 1, 4, 1, {-5}), value(5, 502, 1, 4, 2, {4}),
                value(5, 502, 1, 4, 3, {3}), value(7, 701, 1, 3, 2, {1}),  value(7, 701, 1, 3, 3, {1})};
    }

    entry::ChooserContext context() { return entry::ChooserContext{fx.installation(), ui, kYear, {}}; }

    // The run window with form 12 marked and months 3 to 4.
    ControlRunWindow window(RunScope scope) {
        ControlRunWindow w(context(), views, 5);
        EXPECT_TRUE(w.open().isOk());
        w.setMarked(1, true);
        w.lowerMonth = 3;
        w.upperMonth = 4;
        w.scope = scope;
        return w;
    }

    // "rule subject name: text" of each line of the one results window.
    std::vector<std::string> shown() {
        EXPECT_TRUE(ui.unexpected().empty());
        std::vector<std::string> out;
        if (views.results.size() != 1) {
            ADD_FAILURE() << "results windows: " << views.results.size();
            return out;
        }
        for (const auto& l : views.results[0].lines()) {
            out.push_back(std::to_string(l.rule) + " " + std::to_string(l.subject) + " " + l.name + ": " + l.text);
        }
        return out;
    }

    InstallationFixture fx;
    platform::ScriptedInteraction ui;
    RecordingViews views;
};

TEST_F(ControlRuns, FormListAndMonths) {
    ControlRunWindow w(context(), views, 1);
    ASSERT_TRUE(w.open().isOk());
    ASSERT_EQ(w.forms().size(), 2u);
    EXPECT_EQ(w.forms()[0].form, 30);
    EXPECT_EQ(w.forms()[1].form, 12);
    EXPECT_EQ(w.forms()[1].name, "Сведения о заболеваемости");
    EXPECT_FALSE(w.forms()[0].marked);
    EXPECT_EQ(w.lowerMonth, 12);
    EXPECT_EQ(w.upperMonth, 12);
    EXPECT_EQ(w.scope, RunScope::District);
    w.markAll();
    EXPECT_TRUE(w.forms()[0].marked && w.forms()[1].marked);
    w.clearMarks();
    EXPECT_FALSE(w.forms()[0].marked || w.forms()[1].marked);
    EXPECT_EQ(ControlRunWindow(context(), views, 7).lowerMonth, 6);
}

TEST_F(ControlRuns, DistrictSumsFacilitiesAndMonths) {
    auto w = window(RunScope::District);
    ui.answerPick(0);  // district 5
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(shown(), (std::vector<std::string>{"10 0 : т1г2с1    (0)? (9)c2"}));
    EXPECT_EQ(views.results[0].districtName(), "Береговой");
    // The printout names what the run checked.
    EXPECT_EQ(views.results[0].heading(), "Ф12, месяцы с 3 по 4 2014 г., Береговой");
    EXPECT_EQ(pageTexts(runResultsPrintout(views.results[0]))[0], "Ф12, месяцы с 3 по 4 2014 г., Береговой");
    EXPECT_EQ(views.results[0].lines()[0].form, 12);
    EXPECT_EQ(views.results[0].lines()[0].deviation, platform::Decimal::fromDouble(-9));
    EXPECT_TRUE(w.districtName().empty());
}

TEST_F(ControlRuns, FacilitiesOneByOneSortedByNameWithTheirDistrict) {
    auto w = window(RunScope::Facilities);
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(shown(), (std::vector<std::string>{"10 503 Береговой Амбулатория: т1г2с1    (0)? (2)c2",
                                                 "11 503 Береговой Амбулатория: т1г2с3    (0)? (2)c2",
                                                 "11 501 Береговой Больница А: т1г2с3    (0)? (3)c2",
                                                 "10 701 Озерный Озерная ЦРБ: т1г2с1    (0)? (1)c2"}));
    EXPECT_EQ(views.results[0].lines()[2].district, 5);
}

TEST_F(ControlRuns, FacilitiesOfOneDistrict) {
    auto w = window(RunScope::Facilities);
    w.oneDistrict = true;
    ui.answerPick(1);  // district 7
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(shown(), (std::vector<std::string>{"10 701 Озерная ЦРБ: т1г2с1    (0)? (1)c2"}));
}

TEST_F(ControlRuns, DistrictsOneByOneAndTheRegion) {
    auto w = window(RunScope::Districts);
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(shown(), (std::vector<std::string>{"10 5 Береговой: т1г2с1    (0)? (9)c2",
                                                 "10 7 Озерный: т1г2с1    (0)? (1)c2"}));
    views.results.clear();
    w.scope = RunScope::Region;
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(shown(), (std::vector<std::string>{"10 0 : т1г2с1    (0)? (10)c2"}));
}

TEST_F(ControlRuns, NothingToShow) {
    struct Case {
        const char* what;
        RunScope scope;
        bool mark;
        int64_t lower, upper;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases{
        {"no marked form", RunScope::Region, false, 3, 4, {"Отчетов за указанный период нет"}},
        {"reversed months", RunScope::Region, true, 4, 3, {"Исправте период"}},
        {"month above 12", RunScope::Region, true, 3, 13, {"Исправте период"}},
        // Nothing checked is not "no errors".
        {"no record in the months", RunScope::Region, true, 7, 12, {"Отчетов за указанный период нет"}},
        {"reports without a violation", RunScope::Region, true, 4, 4, {"Ошибок нет"}},
    };
    for (const Case& c : cases) {
        platform::ScriptedInteraction local;
        ControlRunWindow w(entry::ChooserContext{fx.installation(), local, kYear, {}}, views, 5);
        ASSERT_TRUE(w.open().isOk());
        w.setMarked(1, c.mark);
        w.lowerMonth = c.lower;
        w.upperMonth = c.upper;
        w.scope = c.scope;
        ASSERT_TRUE(w.control().isOk()) << c.what;
        EXPECT_EQ(local.messages(), c.messages) << c.what;
        EXPECT_TRUE(local.unexpected().empty()) << c.what;
    }
    EXPECT_TRUE(views.results.empty());
}

TEST_F(ControlRuns, CancelledChoices) {
    // Scope 3 without a district: a beep and no run.
    auto w = window(RunScope::District);
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(ui.beeps(), 1);
    EXPECT_TRUE(ui.messages().empty());
    // Scope 1 without a facility: a beep, and the run finds nothing.
    w.scope = RunScope::Facility;
    ui.answerPick(0);
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(ui.beeps(), 2);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Отчетов за указанный период нет"}));
    EXPECT_TRUE(views.results.empty());
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(ControlRuns, OneChosenFacility) {
    auto w = window(RunScope::Facility);
    ui.answerPick(0);  // district 5
    ui.answerPick(0);  // its first facility in the chooser, 501
    ASSERT_TRUE(w.control().isOk());
    EXPECT_EQ(shown(), (std::vector<std::string>{"11 0 : т1г2с3    (0)? (3)c2"}));
    EXPECT_EQ(views.results[0].facilityName(), "Больница А");
    EXPECT_EQ(views.results[0].districtName(), "Береговой");
}

TEST_F(ControlRuns, ControlRunProcedure) {
    TableList tables;
    ASSERT_TRUE(readTableList(fx.installation(), kYear, 12, tables).isOk());
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].SM, 1);
    CheckRows rows{{1, 1, {}}, {2, 1, {}}};
    int count = -1;
    ASSERT_TRUE(controlRun(context(), views, 12, rows, tables, count).isOk());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Ошибок нет"}));

    rows[1].DATA[0] = platform::Decimal::fromDouble(4);
    ASSERT_TRUE(controlRun(context(), views, 12, rows, tables, count, "Ф12, март 2014 г., Больница А").isOk());
    EXPECT_EQ(count, 2);
    ASSERT_EQ(views.errorLists.size(), 1u);
    auto& list = views.errorLists[0];
    EXPECT_EQ(list.year(), kYear);
    EXPECT_EQ(list.selectedText(), "т1г2с1    (0)? (4)c2");
    list.select(1);
    EXPECT_EQ(list.selectedText(), "т1г2с3    (0)? (4)c2");
    EXPECT_EQ(pageTexts(errorListPrintout(list)),
              (std::vector<std::string>{"Ф12, март 2014 г., Больница А", "!!", "НЕ ВЫПОЛНЕН КОНТРОЛЬ ",
                                        "т1г2с1    (0)? (4)c2", "т1г2с3    (0)? (4)c2"}));

    std::vector<ResultEntry> entries{{99, 1, {}, "прежняя строка"}};
    int appended = 0;
    ASSERT_TRUE(controlRunBatch(context(), 12, rows, tables, entries, appended, 10).isOk());
    EXPECT_EQ(appended, 2);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].form, 12);
    EXPECT_EQ(entries[1].rule, 10);
    EXPECT_EQ(entries[2].text, "т1г2с3    ");
    EXPECT_EQ(views.errorLists.size(), 1u);
}

// --- Batch entry --------------------------------------------------------------

class BatchEntry : public ControlRuns {
protected:
    // 501 for months 3 and 4 in an exchange file, with a record of form 30 and
    // one of another facility that the check leaves out.
    std::filesystem::path exchangeFile() {
        std::vector<data::Ot2> recs;
        for (const auto& r : records()) {
            if (r.CODUCH == 501 || r.CODUCH == 502) recs.push_back(exchange(12, r));
        }
        recs.push_back(exchange(30, value(5, 501, 1, 3, 1, {100})));
        recs.push_back(exchange(12, value(5, 501, 1, 3, 2, {1})));  // row 2 met again: added
        const auto path = fx.dir() / "import" / "e5_0501.dat";
        writeAs(path, data::label::ot2, recs);
        return path;
    }

    BatchRequest request(int64_t period, std::filesystem::path file = {}) {
        BatchRequest r;
        r.period = period;
        r.forms = {{30, false, "Сведения об учреждении", file}, {12, true, "Сведения о заболеваемости", file}};
        r.facility = entry::FacilityLine{501, 5, "Больница А"};
        r.fromFiles = !file.empty();
        return r;
    }
};

TEST_F(BatchEntry, FromAnExchangeFile) {
    bool errors = false;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, request(3, exchangeFile()), errors).isOk());
    EXPECT_TRUE(errors);
    EXPECT_EQ(shown(), (std::vector<std::string>{"11 501 Береговой Больница А: т1г2с3    (0)? (4)c2"}));
}

TEST_F(BatchEntry, FileWithoutRecordsOfThePeriodShowsNothing) {
    bool errors = true;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, request(5, exchangeFile()), errors).isOk());
    EXPECT_FALSE(errors);
    EXPECT_TRUE(ui.events().empty());
    EXPECT_TRUE(views.results.empty());
}

TEST_F(BatchEntry, OldFormatFile) {
    std::vector<data::Otchet> recs;
    for (const auto& r : records()) {
        if (r.CODUCH == 501) recs.push_back(r);
    }
    const auto path = fx.dir() / "W12_3.dat";
    writeAs(path, data::label::otchetOld, recs);
    auto r = request(3, path);
    r.oldFormat = true;
    bool errors = false;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, r, errors).isOk());
    EXPECT_TRUE(errors);
    EXPECT_EQ(shown(), (std::vector<std::string>{"11 501 Береговой Больница А: т1г2с3    (0)? (3)c2"}));
    // The same file read as an exchange file does not fit that layout.
    views.results.clear();
    r.oldFormat = false;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, r, errors).isOk());
    EXPECT_FALSE(errors);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_TRUE(ui.messages()[0].starts_with("Otchet2-err47|")) << ui.messages()[0];
}

TEST_F(BatchEntry, FileThatDoesNotOpen) {
    bool errors = true;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, request(3, fx.dir() / "нет.dat"), errors).isOk());
    EXPECT_FALSE(errors);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_TRUE(ui.messages()[0].starts_with("Otchet2-err2|")) << ui.messages()[0];
    EXPECT_NE(ui.messages()[0].find("нет.dat"), std::string::npos);
}

TEST_F(BatchEntry, EveryFacilityOfTheDistrictFromTheValueFiles) {
    auto r = request(3);
    r.facility.reset();
    r.district = 5;
    bool errors = false;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, r, errors).isOk());
    EXPECT_TRUE(errors);
    EXPECT_EQ(shown(), (std::vector<std::string>{"10 503 Береговой Амбулатория: т1г2с1    (0)? (2)c2",
                                                 "11 503 Береговой Амбулатория: т1г2с3    (0)? (2)c2",
                                                 "11 501 Береговой Больница А: т1г2с3    (0)? (3)c2"}));
    // No violation in the value files: "Ошибок нет".
    views.results.clear();
    r.period = 4;
    ASSERT_TRUE(controlRunBatchEntry(context(), views, r, errors).isOk());
    EXPECT_FALSE(errors);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Ошибок нет"}));
}

}  // namespace
