#include "platform/interaction.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir::platform;

TEST(Interaction, TextConventions) {
    EXPECT_EQ(messageLines("Ошибка|в строке 5"), (std::vector<std::string>{"Ошибка", "в строке 5"}));
    EXPECT_EQ(messageLines("одна"), (std::vector<std::string>{"одна"}));
    EXPECT_EQ(buttonCaptions("&Выход|&Продолжить"), (std::vector<std::string>{"&Выход", "&Продолжить"}));
    EXPECT_EQ(withoutAccessMarks("&Да"), "Да");
    EXPECT_EQ(withoutAccessMarks("A&&B"), "A&B");
}

TEST(Interaction, ScriptAnswersInOrderAndCatchesTheUnexpected) {
    ScriptedInteraction ui;
    ui.answerAsk(2);
    ui.answerPick(3);
    ui.message("Записано");
    EXPECT_EQ(ui.ask("Сохранить отчет ?", "&Да|&Нет"), 2);
    EXPECT_EQ(ui.pick(PickRequest{"ФОРМЫ"}), std::optional<int>(3));
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_EQ(ui.ask("УДАЛИТЬ ОТЧЕТ ?", "&Да|&Нет"), 0);
    EXPECT_EQ(ui.unexpected().size(), 1u);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Записано"}));
    EXPECT_EQ(ui.questions(), (std::vector<std::string>{"Сохранить отчет ?", "УДАЛИТЬ ОТЧЕТ ?"}));
}
