#include "exchange/user_settings.h"

#include "../entry/choosers_fixture.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using exchange::UserSettingsModel;
using fixture::InstallationFixture;

namespace {

class UserSettings : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::buildRegion(fx);
        state.globYear = 2014;
    }

    data::User1 stored() {
        data::User1 u;
        EXPECT_TRUE(exchange::readSettings(fx.installation(), u).isOk());
        return u;
    }

    InstallationFixture fx;
    app::SharedState state;
    platform::ScriptedInteraction ui;
};

data::User1 districtRecord() {
    data::User1 u;
    u.TIPUSER = 1;
    u.CODREG = 7;
    u.KODUSER = 7;
    u.NAMEOBL = "Озерный";
    u.TEMP = "\\TEMP1\\";
    return u;
}

}  // namespace

TEST_F(UserSettings, NewRecordStartsAsFacilityWithDefaults) {
    fx.settings({});
    UserSettingsModel model(fx.installation(), state, ui);
    ASSERT_TRUE(model.open().isOk());
    EXPECT_TRUE(model.isNew());
    EXPECT_EQ(model.type(), 2);
    EXPECT_TRUE(model.chooseOffered());
    EXPECT_EQ(model.record().TEMP, "\\TEMP1\\");
    EXPECT_EQ(model.record().OFFICE, "C:\\Program Files\\Microsoft Office\\OFFICE11\\");
}

// Another type clears code, district and title; the region hides "Выбор ЛПУ".
TEST_F(UserSettings, TypeSwitches) {
    data::User1 u = districtRecord();
    u.TIPUSER = 2;
    u.CODREG = 5;
    u.KODUSER = 312;
    u.NAMEOBL = "Береговой Береговая ЦРБ";
    fx.settings({u});
    UserSettingsModel model(fx.installation(), state, ui);
    ASSERT_TRUE(model.open().isOk());
    EXPECT_EQ(model.districtName(), "Береговой");
    EXPECT_EQ(model.facilityName(), "Береговая ЦРБ");

    model.setType(0);
    EXPECT_FALSE(model.chooseOffered());
    EXPECT_EQ(model.record().KODUSER, 0);
    EXPECT_EQ(model.record().CODREG, 0);
    EXPECT_EQ(model.record().NAMEOBL, "");
    EXPECT_EQ(model.districtName(), "");
    ASSERT_TRUE(model.choose().isOk());  // hidden: nothing to choose
    EXPECT_TRUE(ui.pickRequests().empty());

    model.setType(1);
    EXPECT_TRUE(model.chooseOffered());
}

TEST_F(UserSettings, ChooseForDistrictAndFacility) {
    fx.settings({districtRecord()});
    UserSettingsModel model(fx.installation(), state, ui);
    ASSERT_TRUE(model.open().isOk());

    ui.answerPick(1);  // district 7
    ASSERT_TRUE(model.choose().isOk());
    EXPECT_EQ(ui.pickRequests().back().caption, "Список");
    EXPECT_EQ(model.record().CODREG, 7);
    EXPECT_EQ(model.record().KODUSER, 7);
    EXPECT_EQ(model.record().NAMEOBL, "Озерный");

    ui.answerPick(3);  // the region line 250
    ASSERT_TRUE(model.choose().isOk());
    EXPECT_EQ(model.record().CODREG, 250);
    EXPECT_EQ(model.record().KODUSER, 250);
    EXPECT_EQ(model.record().NAMEOBL, "Тарвинская область");

    // A district installation whose list is closed keeps no old district.
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(model.choose().isOk());
    EXPECT_EQ(model.record().CODREG, 0);
    EXPECT_EQ(model.record().KODUSER, 0);
    EXPECT_EQ(model.record().NAMEOBL, "");

    model.setType(2);
    ui.answerPick(0);  // district 5
    ui.answerPick(0);  // its first facility
    ASSERT_TRUE(model.choose().isOk());
    EXPECT_EQ(ui.pickRequests().back().caption, "Учреждения УЗ Тарвинской области");
    EXPECT_EQ(ui.pickRequests().back().extraButton, "");
    EXPECT_EQ(model.record().CODREG, 5);
    EXPECT_EQ(model.record().KODUSER, 312);
    EXPECT_EQ(model.record().NAMEOBL, "Береговой Береговая ЦРБ");
    EXPECT_EQ(model.facilityName(), "Береговая ЦРБ");

    ui.answerPick(std::nullopt);  // district chooser closed: no facility window
    ASSERT_TRUE(model.choose().isOk());
    EXPECT_EQ(model.record().CODREG, 0);
    EXPECT_EQ(model.record().KODUSER, 312);
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST_F(UserSettings, SaveChecksTheTemporaryFolder) {
    data::User1 u = districtRecord();
    u.TEMP = "D:\\TMP";
    fx.settings({u});
    UserSettingsModel model(fx.installation(), state, ui);
    ASSERT_TRUE(model.open().isOk());
    model.setFolder1("D:\\1\\");
    EXPECT_FALSE(model.save());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Проверте путь-последний знак \\"});
    EXPECT_EQ(stored().S1, "");
}

// Saving a new record adds it; closing after the save loads the copies.
TEST_F(UserSettings, SaveNewRecordAndReloadCopies) {
    fx.settings({});
    UserSettingsModel model(fx.installation(), state, ui);
    ASSERT_TRUE(model.open().isOk());
    ui.answerPick(0);
    ui.answerPick(2);  // ФАП Луговое
    ASSERT_TRUE(model.choose().isOk());
    model.setFolder1("D:\\1\\");
    ASSERT_TRUE(model.save());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Записано"});
    EXPECT_FALSE(model.isNew());
    EXPECT_EQ(state.subject(), app::Subject{});
    model.close(UserSettingsModel::Closing::AfterSave);
    EXPECT_EQ(state.subject(), (app::Subject{2, 5, 314, "Береговой ФАП Луговое"}));

    const data::User1 back = stored();
    EXPECT_EQ(back.KODUSER, 314);
    EXPECT_EQ(back.S1, "D:\\1\\");
    EXPECT_EQ(back.TEMP, "\\TEMP1\\");

    // A second save updates the one record.
    model.setFolder2("E:\\2\\");
    ASSERT_TRUE(model.save());
    data::RecordFile<data::User1> file(fx.installation().user1File());
    ASSERT_TRUE(file.open().isOk());
    EXPECT_EQ(file.count(), 1);
    EXPECT_EQ(stored().S2, "E:\\2\\");
}

// "Закрыть" leaves the copies; closing by the frame gives them the window's
// values although nothing was saved.
TEST_F(UserSettings, ClosingWithoutSave) {
    fx.settings({districtRecord()});
    state.setSubject({1, 7, 7, "Озерный"});
    for (auto how : {UserSettingsModel::Closing::CloseButton, UserSettingsModel::Closing::Other}) {
        UserSettingsModel model(fx.installation(), state, ui);
        ASSERT_TRUE(model.open().isOk());
        model.setType(0);
        model.close(how);
    }
    EXPECT_EQ(state.subject(), app::Subject{});
    EXPECT_EQ(stored().TIPUSER, 1);
}

// Settings with blank folders, written by another tool, still save; a
// failed write says so and keeps the window open.
TEST_F(UserSettings, BlankFoldersAndFailedWrite) {
    data::User1 u = districtRecord();
    u.TEMP = "";
    fx.settings({u});
    UserSettingsModel model(fx.installation(), state, ui);
    ASSERT_TRUE(model.open().isOk());
    EXPECT_EQ(model.record().TEMP, "\\TEMP1\\");
    ASSERT_TRUE(model.save());

    std::filesystem::remove(fx.dir() / "USER1.dat");
    EXPECT_FALSE(model.save());
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_NE(ui.messages()[1].find("USER1.dat"), std::string::npos);
}
