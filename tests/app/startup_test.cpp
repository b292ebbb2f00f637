#include "app/startup.h"

#include "app/main_window.h"
#include "installation_fixture.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using fixture::InstallationFixture;

namespace {

data::User1 facilitySettings() {
    data::User1 u;
    u.TIPUSER = 2;
    u.CODREG = 5;
    u.KODUSER = 312;
    u.NAMEOBL = "Береговой ЦРБ";
    return u;
}

data::NameProg program(std::string caption, std::string mail) {
    data::NameProg p;
    p.PROGA = std::move(caption);
    p.MAIL = std::move(mail);
    return p;
}

}  // namespace

// The calendar year is kept within the year directories: lowered to the last,
// then raised to the first. No message: only report entry's check shows one.
TEST(StartUp, WorkingYearClampedToTheYearDirectories) {
    struct Case {
        int today;
        std::vector<int> dirs;
        int first, last, working;
    } cases[] = {
        {2014, {2012, 2013}, 2012, 2013, 2013},
        {2014, {2015, 2016}, 2015, 2016, 2015},
        {2016, {2009, 2011, 2014}, 2009, 2014, 2014},
        {2014, {1998, 2003, 2014}, 1998, 2014, 2014},
    };
    for (const auto& c : cases) {
        InstallationFixture fx;
        for (int y : c.dirs) fx.yearDir(y);
        fx.settings({facilitySettings()});
        fx.program({program("Статистика", "stat@tarvin.example")});
        app::SharedState state;
        platform::ScriptedInteraction ui;
        app::StartupData data;
        ASSERT_TRUE(app::startUp(fx.installation(), state, ui, c.today, data).isOk());
        EXPECT_EQ(state.globYearS, c.first) << c.today;
        EXPECT_EQ(state.globYearE, c.last) << c.today;
        EXPECT_EQ(state.globYear, c.working) << c.today;
        EXPECT_TRUE(ui.messages().empty()) << c.today;
    }
}

// A settings file without a record: the subject stays the whole region with
// code 0, the folders get their defaults, and the user is asked to set the
// facility; no year directory adds its own message first, and the working
// year becomes 0.
TEST(StartUp, EmptySettingsAndNoYearDirectory) {
    InstallationFixture fx;
    fx.settings({});
    fx.program({});
    std::filesystem::create_directories(fx.dir() / "2014a");
    app::SharedState state;
    state.globYear = 1999;
    platform::ScriptedInteraction ui;
    app::StartupData data;
    ASSERT_TRUE(app::startUp(fx.installation(), state, ui, 2014, data).isOk());
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{std::string(data::kNoYearDirMessage),
                                                        std::string(app::kConfigureMessage)}));
    EXPECT_EQ(state.subject(), app::Subject{});
    EXPECT_EQ(state.globYear, 0);
    EXPECT_EQ(data.settings.TEMP, "\\TEMP1\\");
    EXPECT_EQ(data.settings.OFFICE, "C:\\Program Files\\Microsoft Office\\OFFICE11\\");
    // A program record without a caption keeps the default one.
    EXPECT_EQ(app::MainWindowModel(state, data).caption(), app::kDefaultCaption);
}

TEST(StartUp, SubjectCopiesAndProgramRecord) {
    InstallationFixture fx;
    fx.yearDir(2014);
    data::User1 u = facilitySettings();
    u.TEMP = "D:\\TMP\\";
    fx.settings({u});
    fx.program({program("Мониторинг ЛПУ   ", "stat@tarvin.example"), program("второй", "")});
    app::SharedState state;
    platform::ScriptedInteraction ui;
    app::StartupData data;
    ASSERT_TRUE(app::startUp(fx.installation(), state, ui, 2014, data).isOk());
    EXPECT_EQ(state.subject(), (app::Subject{2, 5, 312, "Береговой ЦРБ"}));
    EXPECT_EQ(data.settings.TEMP, "D:\\TMP\\");
    app::MainWindowModel model(state, data);
    EXPECT_EQ(model.caption(), "Мониторинг ЛПУ");
    EXPECT_EQ(model.fieldText(app::ToolField::Mail), "stat@tarvin.example");
    EXPECT_EQ(model.fieldText(app::ToolField::Version), "Версия ПП 2.1.4 от 24.01.12");
    EXPECT_TRUE(ui.messages().empty());
}

// A settings or program file that does not open ends start-up with a
// message naming the file.
TEST(StartUp, MissingDataFileIsReportedWithItsPath) {
    for (bool settingsMissing : {true, false}) {
        InstallationFixture fx;
        fx.yearDir(2014);
        if (!settingsMissing) fx.settings({facilitySettings()});
        if (settingsMissing) fx.program({program("x", "")});
        app::SharedState state;
        platform::ScriptedInteraction ui;
        app::StartupData data;
        platform::Status st = app::startUp(fx.installation(), state, ui, 2014, data);
        ASSERT_FALSE(st.isOk());
        const std::string file = settingsMissing ? "USER1.dat" : "NAMEPROG.tps";
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_NE(ui.messages()[0].find(file), std::string::npos) << ui.messages()[0];
        EXPECT_NE(ui.messages()[0].find("No such file"), std::string::npos) << ui.messages()[0];
    }
}

// The toolbar takes any year of up to 4 digits at once, outside the range too.
TEST(MainWindowModel, YearEntryTakenWithoutRangeCheck) {
    app::SharedState state;
    state.globYearS = 2009;
    state.globYearE = 2014;
    state.globYear = 2014;
    app::MainWindowModel model(state, {});
    EXPECT_TRUE(model.acceptYear("2020"));
    EXPECT_EQ(state.globYear, 2020);
    for (const char* bad : {"", "20a4", "12345", "-201"}) {
        EXPECT_FALSE(model.acceptYear(bad)) << bad;
        EXPECT_EQ(state.globYear, 2020) << bad;
    }
    EXPECT_EQ(model.fieldText(app::ToolField::WorkingYear), "2020");
}
