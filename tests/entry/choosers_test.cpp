#include "entry/choosers.h"

#include "choosers_fixture.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using entry::Choice;
using fixture::InstallationFixture;

namespace {

class Choosers : public ::testing::Test {
protected:
    void SetUp() override { fixture::buildRegion(fx); }

    entry::ChooserContext context(int year = 2014, app::Subject subject = {}) {
        return entry::ChooserContext{fx.installation(), ui, year, std::move(subject)};
    }
    // First cells of the lines of the last pick window.
    std::vector<std::string> offeredCodes() const {
        std::vector<std::string> codes;
        if (ui.pickRequests().empty()) return codes;
        for (const auto& line : ui.pickRequests().back().lines) codes.push_back(line.at(0));
        return codes;
    }

    InstallationFixture fx;
    platform::ScriptedInteraction ui;
};

}  // namespace

TEST_F(Choosers, FormChooserListsSwitchedOnFormsWithPeriodAndDeadline) {
    entry::FormChoice choice;
    ui.answerPick(1);
    ASSERT_TRUE(entry::chooseForm(context(), 10, choice).isOk());
    ASSERT_EQ(ui.pickRequests().size(), 1u);
    const auto& request = ui.pickRequests()[0];
    EXPECT_EQ(request.caption, "ФОРМЫ");
    EXPECT_EQ(request.status, "Enter-выбор из списка");
    EXPECT_NE(request.heading.find("2014"), std::string::npos);
    ASSERT_EQ(request.columns.size(), 4u);
    EXPECT_EQ(request.columns[0].title, "id");
    EXPECT_EQ(request.columns[1].title, "код");
    EXPECT_EQ(request.columns[2].title, "наименование");
    EXPECT_EQ(offeredCodes(), (std::vector<std::string>{"12", "120", "910", "950"}));
    EXPECT_EQ(request.lines[0][3], "ежемесячно до 5 числа следующего месяца");
    EXPECT_EQ(request.lines[1][3], "ежеквартально");
    EXPECT_EQ(request.lines[3][3], "за неделя");

    EXPECT_EQ(choice.code, 120);
    EXPECT_EQ(choice.name, "Сведения о");  // cut to the caller's width
    EXPECT_EQ(choice.number, "30");
    EXPECT_EQ(choice.periodName, "ежеквартально");
    EXPECT_EQ(choice.periodType, 2);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(Choosers, FormChooserClosedOrEmpty) {
    entry::FormChoice choice{120, "Сведения", "30", "ежеквартально", 2};
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(entry::chooseForm(context(), 100, choice).isOk());
    EXPECT_EQ(choice.code, 0);
    EXPECT_EQ(choice.name, "");
    EXPECT_EQ(choice.number, "30");
    EXPECT_EQ(choice.periodType, 2);

    // A year whose forms are all switched off: the message, no window, nothing changed.
    fx.forms(2015, {InstallationFixture::form(7, "7", "Отключенная", 0, 1)});
    entry::FormChoice kept{12, "Сведения", "12", "ежемесячно", 1};
    ASSERT_TRUE(entry::chooseForm(context(2015), 100, kept).isOk());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Данные в справочнике 2015 отсутствуют"});
    EXPECT_EQ(ui.pickRequests().size(), 1u);
    EXPECT_EQ(kept.code, 12);
    EXPECT_EQ(kept.name, "Сведения");
}

TEST_F(Choosers, FormChooserWithoutDeadlineFileOrYear) {
    std::filesystem::remove(fx.dir() / "2014" / "sroki.txt");
    entry::FormChoice choice;
    ui.answerPick(0);
    ASSERT_TRUE(entry::chooseForm(context(), 100, choice).isOk());
    EXPECT_EQ(ui.pickRequests()[0].lines[0][3], "ежемесячно");
    EXPECT_TRUE(ui.messages().empty());

    // A year without reference files is a file error naming the file.
    EXPECT_FALSE(entry::chooseForm(context(2013), 100, choice).isOk());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("Forma.dat"), std::string::npos);
}

TEST_F(Choosers, DistrictChooserModes) {
    Choice choice;
    ui.answerPick(1);
    ASSERT_TRUE(entry::chooseDistrict(context(), entry::DistrictMode::Plain, 30, choice).isOk());
    EXPECT_EQ(ui.pickRequests().back().caption, "РАЙОНЫ");
    EXPECT_EQ(offeredCodes(), (std::vector<std::string>{"5", "7", "101"}));
    EXPECT_EQ(choice.code, 7);
    EXPECT_EQ(choice.name, "Озерный");

    ui.answerPick(4);
    ASSERT_TRUE(entry::chooseDistrict(context(), entry::DistrictMode::WithRegionLines, 30, choice).isOk());
    EXPECT_EQ(ui.pickRequests().back().caption, "Список");
    EXPECT_EQ(offeredCodes(), (std::vector<std::string>{"5", "7", "101", "250", "251"}));
    EXPECT_EQ(choice.code, 251);
    EXPECT_EQ(choice.name, "Районы Тарвинской области");

    ui.answerPick(std::nullopt);
    ASSERT_TRUE(entry::chooseDistrict(context(), entry::DistrictMode::WithRegionLines, 30, choice).isOk());
    EXPECT_EQ(choice.code, 0);
    EXPECT_EQ(choice.name, "");
    EXPECT_TRUE(ui.unexpected().empty());
}

// A district installation's plain list holds its own district only, which
// is taken without a window; a district missing from region1 gives the message.
TEST_F(Choosers, PlainDistrictChooserOfADistrictInstallation) {
    Choice choice;
    ASSERT_TRUE(entry::chooseDistrict(context(2014, {1, 5, 5, "Береговой"}), entry::DistrictMode::Plain, 5, choice)
                    .isOk());
    EXPECT_TRUE(ui.pickRequests().empty());
    EXPECT_EQ(choice.code, 5);
    EXPECT_EQ(choice.name, "Берег");

    Choice unchanged{5, "Береговой"};
    ASSERT_TRUE(
        entry::chooseDistrict(context(2014, {1, 9, 9, "Нет такого"}), entry::DistrictMode::Plain, 30, unchanged)
            .isOk());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Данные в справочнике 2014 отсутствуют"});
    EXPECT_EQ(unchanged.code, 5);
}

// Which facilities of district 5 are offered, in the chooser's order (kind,
// then settlement mark), by subject, year and form.
TEST_F(Choosers, FacilityFilters) {
    using Codes = std::vector<std::string>;
    struct Case {
        const char* what;
        app::Subject subject;
        int year;
        std::optional<int> form;
        Codes codes;
    } cases[] = {
        {"region 2014", {0, 0, 0, ""}, 2014, 120, {"312", "315", "314", "313", "7312", "7315"}},
        {"district 5", {1, 5, 5, "Береговой"}, 2014, 120, {"312", "315", "314", "313", "7312", "7315"}},
        {"closed 2012 still in 2012", {}, 2012, 120, {"312", "316", "315", "314", "313", "7312", "7315"}},
        {"closed 2012 not in 2013", {}, 2013, 120, {"312", "315", "314", "313", "7312", "7315"}},
        {"opened 2015 in 2015", {}, 2015, 120, {"312", "317", "315", "314", "313", "7312", "7315"}},
        {"facility 312 with a form", {2, 5, 312, "Береговой Береговая ЦРБ"}, 2014, 120, {"312", "314", "313", "7312"}},
        {"facility 312 without a form", {2, 5, 312, "x"}, 2014, std::nullopt, {"312", "314", "313", "7312", "7315"}},
    };
    for (const auto& c : cases) {
        platform::ScriptedInteraction local;
        entry::ChooserContext ctx{fx.installation(), local, c.year, c.subject};
        Choice choice;
        local.answerPick(std::nullopt);
        ASSERT_TRUE(entry::chooseFacility(ctx, {5, c.form, "Береговой", 50}, choice).isOk()) << c.what;
        ASSERT_EQ(local.pickRequests().size(), 1u) << c.what;
        Codes codes;
        for (const auto& line : local.pickRequests()[0].lines) codes.push_back(line[0]);
        EXPECT_EQ(codes, c.codes) << c.what;
    }
}

TEST_F(Choosers, FacilityChooserResultsAndDistrictButton) {
    Choice choice{99, "прежнее"};
    ui.answerPick(0);
    ASSERT_TRUE(entry::chooseFacility(context(), {5, 120, "Береговой", 9}, choice).isOk());
    const auto& request = ui.pickRequests().back();
    EXPECT_EQ(request.caption, "Учреждения УЗ Тарвинской области");
    EXPECT_EQ(request.heading, "Береговой");
    EXPECT_EQ(request.extraButton, "");
    EXPECT_EQ(choice.code, 312);
    EXPECT_EQ(choice.name, "Береговая");

    ui.answerPick(platform::kPickExtraButton);
    ASSERT_TRUE(entry::chooseFacility(context(), {5, 910, "Береговой", 50}, choice).isOk());
    EXPECT_EQ(ui.pickRequests().back().extraButton, "Ввод по району");
    EXPECT_EQ(choice.code, 21005);
    EXPECT_EQ(choice.name, "");

    ui.answerPick(std::nullopt);
    choice = {99, "прежнее"};
    ASSERT_TRUE(entry::chooseFacility(context(), {5, 910, "Береговой", 50}, choice).isOk());
    EXPECT_EQ(choice.code, 0);
    EXPECT_EQ(choice.name, "");

    // A district without facilities: no window, the caller's values stay.
    choice = {99, "прежнее"};
    ASSERT_TRUE(entry::chooseFacility(context(), {101, 120, "г. Тарвин", 50}, choice).isOk());
    EXPECT_EQ(ui.pickRequests().size(), 3u);
    EXPECT_EQ(choice.code, 99);
    EXPECT_EQ(choice.name, "прежнее");
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(Choosers, ListingModeWithoutWindow) {
    std::vector<entry::FacilityLine> lines;
    ASSERT_TRUE(entry::listFacilities(context(2014, {2, 5, 312, "x"}), std::nullopt, lines).isOk());
    std::vector<int> codes;
    for (const auto& l : lines) codes.push_back(l.code);
    // Key order: district, then the order the facilities were added.
    EXPECT_EQ(codes, (std::vector<int>{7312, 313, 312, 314, 7315}));
    EXPECT_EQ(lines[0].district, 5);

    lines.clear();
    ASSERT_TRUE(entry::listFacilities(context(), 7, lines).isOk());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].name, "Озерная ЦРБ");
    EXPECT_TRUE(ui.events().empty());
}
