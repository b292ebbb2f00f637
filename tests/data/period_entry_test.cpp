#include "data/period_entry.h"

#include <gtest/gtest.h>

using namespace tavir::data;

TEST(PeriodEntry, ReadsTheTypedText) {
    struct Case {
        PeriodType type;
        const char* typed;
        int64_t code;  // 0: refused with "Ошибка"
    };
    const Case cases[] = {
        {PeriodType::Monthly, "13", 13},
        {PeriodType::Monthly, " 2 ", 2},
        {PeriodType::Monthly, "0", 0},
        {PeriodType::Monthly, "14", 0},
        {PeriodType::Quarterly, "5", 5},
        {PeriodType::Quarterly, "6", 0},
        {PeriodType::HalfYearly, "4", 0},
        {PeriodType::Weekly, "53", 53},
        {PeriodType::Weekly, "-1", 0},
        {PeriodType::Weekly, "99999999999", 0},
        {PeriodType::Monthly, "", 0},
        {PeriodType::Monthly, "3a", 0},
        {PeriodType::Monthly, "март", 0},
        {PeriodType::Monthly, "1.5", 0},
        // Daily forms take dates; a bare number is not one.
        {PeriodType::Daily, "15.03.14", tavir::data::dayNumber(2014, 3, 15)},
        {PeriodType::Daily, "15", 0},
        {PeriodType::Daily, "31.02.14", 0},
    };
    for (const Case& c : cases) {
        PeriodChoice choice = readPeriod(c.type, c.typed);
        if (c.code == 0) {
            EXPECT_FALSE(choice.accepted()) << c.typed;
            EXPECT_EQ(choice.error, "Ошибка|" + allowedPeriods(c.type)) << c.typed;
        } else {
            EXPECT_TRUE(choice.accepted()) << c.typed;
            EXPECT_EQ(choice.code, c.code) << c.typed;
        }
    }
}

TEST(PeriodEntry, RefusalNamesTheRange) {
    EXPECT_EQ(readPeriod(PeriodType::Monthly, "14").error, "Ошибка|Допустимо число от 1 до 13");
    EXPECT_EQ(readPeriod(PeriodType::Daily, "15").error, "Ошибка|Допустима дата в виде дд.мм.гг");
}

TEST(PeriodEntry, EntryTextOfTheStartCode) {
    EXPECT_EQ(periodEntryText(PeriodType::Monthly, 3), "3");
    EXPECT_EQ(periodEntryText(PeriodType::Monthly, 0), "");
    EXPECT_EQ(periodEntryText(PeriodType::Daily, tavir::data::dayNumber(2014, 3, 15)), "15.03.14");
    // What the window shows it reads back to the same code.
    const int64_t day = tavir::data::dayNumber(2013, 12, 31);
    EXPECT_EQ(readPeriod(PeriodType::Daily, periodEntryText(PeriodType::Daily, day)).code, day);
}
