#include "app/help.h"

#include "installation_fixture.h"
#include "platform/text.h"

#include <gtest/gtest.h>

using namespace tavir;
using fixture::InstallationFixture;

TEST(HelpModel, TopicsPicturesAndNoTopic) {
    InstallationFixture fx;
    const std::string longTitle = "Ввод отчетов: выбор формы, периода и учреждения, сохранение отчета";
    fx.text("help.TXT", {"Vvod.bmp            " + longTitle, "", "karta.bmp           Карта области   "});
    app::HelpModel help(fx.installation());

    ASSERT_TRUE(help.open(2, true).isOk());
    ASSERT_EQ(help.topics().size(), 2u);
    EXPECT_EQ(help.topics()[0].picture, "Vvod.bmp");
    EXPECT_EQ(help.topics()[0].title, platform::cutToWidth(longTitle, 50));
    EXPECT_EQ(help.topics()[1].title, "Карта области");
    EXPECT_EQ(help.current(), 0);

    ASSERT_TRUE(help.open(2, false).isOk());
    EXPECT_EQ(help.current(), 1);
    EXPECT_EQ(help.picture(), fx.dir() / "karta.bmp");

    help.click(std::nullopt);
    EXPECT_EQ(help.current(), std::nullopt);
    EXPECT_EQ(help.picture(), std::nullopt);
    ASSERT_TRUE(help.open(4, false).isOk());
    EXPECT_EQ(help.current(), std::nullopt);
}

TEST(HelpModel, MissingFileGivesAnEmptyListAndItsError) {
    InstallationFixture fx;
    app::HelpModel help(fx.installation());
    platform::Status st = help.open(1, true);
    EXPECT_FALSE(st.isOk());
    EXPECT_NE(st.message().find("help.TXT"), std::string::npos);
    EXPECT_TRUE(help.topics().empty());
}
