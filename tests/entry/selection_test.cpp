#include "entry/selection.h"

#include "choosers_fixture.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using platform::ScriptedInteraction;
using fixture::InstallationFixture;

namespace {

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::buildRegion(fx);
        fx.yearDir(2009);
        state.globYearS = 2009;
        state.globYearE = 2014;
        state.globYear = 2014;
    }

    std::optional<entry::ChosenReport> select() {
        std::optional<entry::ChosenReport> report;
        EXPECT_TRUE(entry::selectReport(state, fx.installation(), ui, report).isOk());
        EXPECT_TRUE(ui.unexpected().empty()) << ui.unexpected().front();
        EXPECT_TRUE(ui.allAnswersUsed());
        return report;
    }
    std::vector<std::string> pickCaptions() const {
        std::vector<std::string> captions;
        for (const auto& r : ui.pickRequests()) captions.push_back(r.caption);
        return captions;
    }

    InstallationFixture fx;
    app::SharedState state;
    ScriptedInteraction ui;
};

constexpr int kForm12 = 0, kForm120 = 1, kForm910 = 2, kForm950 = 3;  // lines of the form chooser

}  // namespace

// A district installation never sees the district chooser; the facility
// chooser lists its district.
TEST_F(Selection, DistrictInstallationChoosesOnlyTheFacility) {
    state.setSubject({1, 5, 5, "Береговой"});
    ui.answerPick(kForm120);
    ui.answerPeriod(2);
    ui.answerPick(0);
    auto report = select();
    ASSERT_TRUE(report);
    EXPECT_EQ(pickCaptions(), (std::vector<std::string>{"ФОРМЫ", "Учреждения УЗ Тарвинской области"}));
    EXPECT_EQ(ui.pickRequests()[1].heading, "Береговой");
    EXPECT_EQ(report->year, 2014);
    EXPECT_EQ(report->formCode, 120);
    EXPECT_EQ(report->formNumber, "30");
    EXPECT_EQ(report->periodType, 2);
    EXPECT_EQ(report->periodWord, "квартал");
    EXPECT_EQ(report->period, 2);
    EXPECT_EQ(report->district, 5);
    EXPECT_EQ(report->facility, 312);
    EXPECT_EQ(entry::reportCaption(*report, 1), "Береговой р-н, Береговая ЦРБ");
    EXPECT_FALSE(report->given);
}

// Form 950 at the region: the district list carries the region lines, and
// 251 opens the report of all districts without a facility window.
TEST_F(Selection, RegionLineOpensThePseudoFacility) {
    ui.answerPick(kForm950);
    ui.answerPeriod(7);
    ui.answerPick(4);
    auto report = select();
    ASSERT_TRUE(report);
    EXPECT_EQ(pickCaptions(), (std::vector<std::string>{"ФОРМЫ", "Список"}));
    EXPECT_EQ(ui.pickRequests()[1].lines.back()[0], "251");
    EXPECT_EQ(report->district, 251);
    EXPECT_EQ(report->facility, 20001);
    EXPECT_EQ(report->facilityName, "Районы Тарвинской области");
    EXPECT_EQ(entry::reportCaption(*report, 0), "Районы Тарвинской области, Районы Тарвинской области");
}

// Below form 900 the region chooses from the plain district list; an annual
// form asks no period; the district button is offered from form 900 on.
TEST_F(Selection, RegionChoosesDistrictThenFacility) {
    ui.answerPick(kForm910);
    ui.answerPick(0);
    ui.answerPick(platform::kPickExtraButton);
    auto report = select();
    ASSERT_TRUE(report);
    EXPECT_EQ(ui.pickRequests()[1].caption, "Список");  // 910 is a district form
    EXPECT_EQ(report->period, 0);
    EXPECT_EQ(report->district, 5);
    EXPECT_EQ(report->facility, 21005);
    EXPECT_EQ(entry::reportCaption(*report, 0), "Береговой р-н");
    for (const auto& e : ui.events()) EXPECT_NE(e.kind, ScriptedInteraction::Event::Period);

    ui.answerPick(kForm12);
    ui.answerPeriod(13);
    ui.answerPick(0);
    ui.answerPick(0);
    report = select();
    ASSERT_TRUE(report);
    EXPECT_EQ(ui.pickRequests()[4].caption, "РАЙОНЫ");
    EXPECT_EQ(ui.pickRequests()[5].extraButton, "");
    EXPECT_EQ(report->period, 13);
    EXPECT_EQ(report->periodWord, "месяц");
}

// A facility installation: the facility chooser of its own district with the
// region title; with no facility passing, its own code and title without a window.
TEST_F(Selection, FacilityInstallation) {
    state.setSubject({2, 5, 312, "Береговой Береговая ЦРБ"});
    ui.answerPick(kForm120);
    ui.answerPeriod(1);
    ui.answerPick(3);
    auto report = select();
    ASSERT_TRUE(report);
    EXPECT_EQ(ui.pickRequests()[1].heading, "Береговой Береговая ЦРБ");
    EXPECT_EQ(ui.pickRequests()[1].lines.size(), 4u);
    EXPECT_EQ(report->facility, 7312);
    EXPECT_EQ(report->districtName, "Береговой Береговая ЦРБ");
    EXPECT_EQ(entry::reportCaption(*report, 2), "Стоматология Береговой ЦРБ");

    state.setSubject({2, 101, 4000, "г. Тарвин Поликлиника 4"});
    ui.answerPick(kForm120);
    ui.answerPeriod(1);
    report = select();
    ASSERT_TRUE(report);
    EXPECT_EQ(ui.pickRequests().size(), 3u);
    EXPECT_EQ(report->facility, 4000);
    EXPECT_EQ(report->facilityName, "г. Тарвин Поликлиника 4");
}

// Each step that ends without a choice ends the selection.
TEST_F(Selection, StepsWithoutChoiceEndIt) {
    ui.answerPick(std::nullopt);
    EXPECT_FALSE(select());

    ui.answerPick(kForm12);
    ui.answerPeriod(0);  // period window closed by its frame
    EXPECT_FALSE(select());
    EXPECT_EQ(pickCaptions().size(), 2u);

    ui.answerPick(kForm120);
    ui.answerPeriod(1);
    ui.answerPick(std::nullopt);
    EXPECT_FALSE(select());

    ui.answerPick(kForm120);
    ui.answerPeriod(1);
    ui.answerPick(0);
    ui.answerPick(std::nullopt);
    EXPECT_FALSE(select());
    EXPECT_TRUE(ui.messages().empty());
}

// The working year outside the range is moved into it once, with one message,
// and the shared working year changes with it.
TEST_F(Selection, YearBoundsCheck) {
    state.globYear = 2016;
    ui.answerPick(std::nullopt);
    EXPECT_FALSE(select());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Возможный период с 2009г. по 2014г."});
    EXPECT_EQ(state.globYear, 2014);
    EXPECT_NE(ui.pickRequests()[0].heading.find("2014"), std::string::npos);

    ScriptedInteraction given;
    state.globYear = 2001;
    entry::ChosenReport report =
        entry::givenReport(state, given, {312, 5, 950, 4, 7, "Береговая ЦРБ", "Береговой", "Свод", "950"});
    EXPECT_EQ(given.messages(), std::vector<std::string>{"Возможный период с 2009г. по 2014г."});
    EXPECT_EQ(report.year, 2009);
    EXPECT_TRUE(report.given);
    EXPECT_EQ(report.periodWord, "");  // weekly and daily forms have no word here
    EXPECT_EQ(report.facility, 312);
    EXPECT_EQ(entry::givenReport(state, given, {312, 5, 120, 2, 1, "", "", "", ""}).periodWord, "квартал");
}

TEST_F(Selection, ChangeFormAndFacility) {
    entry::ChosenReport report;
    report.year = 2014;
    report.formCode = 120;
    report.formName = "Сведения об учреждении";
    report.district = 5;
    report.facility = 312;
    const entry::ChosenReport before = report;
    auto ctx = entry::currentContext(fx.installation(), ui, state);

    entry::Change change;
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(entry::changeForm(ctx, report, change).isOk());
    EXPECT_EQ(change, entry::Change::Kept);
    EXPECT_EQ(report.formName, before.formName);

    ui.answerPick(kForm12);
    ui.answerPeriod(0);
    ASSERT_TRUE(entry::changeForm(ctx, report, change).isOk());
    EXPECT_EQ(change, entry::Change::Ended);

    ui.answerPick(kForm12);
    ui.answerPeriod(4);
    ASSERT_TRUE(entry::changeForm(ctx, report, change).isOk());
    EXPECT_EQ(change, entry::Change::Changed);
    EXPECT_EQ(report.formCode, 12);
    EXPECT_EQ(report.period, 4);
    EXPECT_EQ(report.facility, 312);

    ui.answerPick(1);
    ui.answerPick(0);
    ASSERT_TRUE(entry::changeFacility(ctx, report, change).isOk());
    EXPECT_EQ(change, entry::Change::Changed);
    EXPECT_EQ(report.district, 7);
    EXPECT_EQ(report.facility, 700);
    EXPECT_EQ(ui.pickRequests().back().heading, "Озерный");

    ui.answerPick(std::nullopt);
    ASSERT_TRUE(entry::changeFacility(ctx, report, change).isOk());
    EXPECT_EQ(change, entry::Change::Ended);
    EXPECT_EQ(report.facility, 700);
    EXPECT_TRUE(ui.unexpected().empty());
}
