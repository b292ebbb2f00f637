#include "data/periods.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace tavir::data;
using namespace std::chrono;

namespace {

// Day numbers counted by the standard calendar, independently of the code
// under test.
int64_t chronoDay(int y, unsigned m, unsigned d) {
    return (sys_days(year(y) / month(m) / day(d)) - sys_days(year(1800) / December / 28)).count();
}

}  // namespace

TEST(Periods, AcceptedCodes) {
    struct Case {
        PeriodType type;
        int64_t code;
        bool accepted;
    };
    const Case cases[] = {
        {PeriodType::Annual, 0, true},       {PeriodType::Annual, 1, false},
        {PeriodType::Monthly, 0, false},     {PeriodType::Monthly, 1, true},
        {PeriodType::Monthly, 13, true},     {PeriodType::Monthly, 14, false},
        {PeriodType::Quarterly, 5, true},    {PeriodType::Quarterly, 6, false},
        {PeriodType::HalfYearly, 3, true},   {PeriodType::HalfYearly, 4, false},
        {PeriodType::Weekly, 0, false},      {PeriodType::Weekly, 53, true},
        {PeriodType::Weekly, 100000, true},  {PeriodType::Daily, -1, false},
        {PeriodType::Daily, chronoDay(2014, 3, 15), true},
        // OTC:MES is a LONG: a larger code could not be stored.
        {PeriodType::Daily, int64_t{1} << 31, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(periodAccepted(c.type, c.code), c.accepted) << static_cast<int>(c.type) << " " << c.code;
    }
}

TEST(Periods, TypesFromStoredCodes) {
    const char* names[] = {"за год", "ежемесячно", "ежеквартально", "за полугодие", "за неделя", "за день"};
    const char* words[] = {"год", "месяц", "квартал", "полугодие", "неделя", "дата"};
    for (int code = 0; code <= 5; ++code) {
        std::optional<PeriodType> type = periodTypeFromCode(code);
        ASSERT_TRUE(type);
        EXPECT_EQ(periodTypeName(*type), names[code]);
        EXPECT_EQ(periodWord(*type), words[code]);
    }
    EXPECT_FALSE(periodTypeFromCode(6));
    EXPECT_FALSE(periodTypeFromCode(-1));
}

TEST(Periods, MonthNames) {
    EXPECT_EQ(monthNominative(1), "январь");
    EXPECT_EQ(monthNominative(12), "декабрь");
    EXPECT_EQ(monthGenitive(5), "мая");
    EXPECT_EQ(monthGenitive(3), "марта");
    EXPECT_EQ(monthNominative(0), "");
    EXPECT_EQ(monthNominative(13), "");
    EXPECT_EQ(monthGenitive(13), "");
}

TEST(DayNumbers, CountFrom28December1800) {
    EXPECT_EQ(dayNumber(1801, 1, 1), 4);
    EXPECT_EQ(dayNumber(1800, 12, 28), 0);
    EXPECT_EQ(dayNumber(2014, 3, 15), chronoDay(2014, 3, 15));
    EXPECT_EQ(dayNumber(2000, 2, 29), chronoDay(2000, 2, 29));
    EXPECT_EQ(dayNumber(2100, 3, 1), chronoDay(2100, 3, 1));
}

TEST(DayNumbers, CivilDatesAgreeWithTheCalendar) {
    const sys_days zero = sys_days(year(1800) / December / 28);
    for (int64_t n = -400; n < 120000; n += 7) {
        year_month_day expected(zero + days(n));
        CivilDate date = civilFromDay(n);
        ASSERT_EQ(date, (CivilDate{int(expected.year()), int(unsigned(expected.month())), int(unsigned(expected.day()))}))
            << n;
        ASSERT_EQ(dayNumber(date.year, date.month, date.day), n);
    }
}

TEST(DayNumbers, DdMmYyRoundTrip) {
    for (int64_t n : {chronoDay(2014, 3, 15), chronoDay(1999, 12, 31), chronoDay(2000, 1, 1), chronoDay(2049, 2, 28)}) {
        std::string text = formatDayNumber(n);
        EXPECT_EQ(parseDdMmYy(text), n) << text;
    }
    EXPECT_EQ(formatDayNumber(chronoDay(2014, 3, 15)), "15.03.14");
    EXPECT_EQ(formatDayNumber(chronoDay(2001, 1, 5)), "05.01.01");
}

TEST(DayNumbers, ParsesTypedDates) {
    const std::pair<const char*, int64_t> valid[] = {
        {"15.03.14", chronoDay(2014, 3, 15)},   {"15.03.2014", chronoDay(2014, 3, 15)},
        {" 5.3.14 ", chronoDay(2014, 3, 5)},    {"31.12.49", chronoDay(2049, 12, 31)},
        {"01.01.50", chronoDay(1950, 1, 1)},    {"29.02.2000", chronoDay(2000, 2, 29)},
        {"29.02.12", chronoDay(2012, 2, 29)},   {"01.01.1801", 4},
    };
    for (auto [text, expected] : valid) EXPECT_EQ(parseDdMmYy(text), expected) << text;

    for (const char* text : {"", "  ", "31.02.14", "29.02.13", "29.02.2100", "32.01.14", "00.01.14", "15.13.14",
                             "15.00.14", "15.03.143", "15.03.1", "15-03-14", "15.03", "aa.bb.cc", "15.03.14x",
                             "123.03.14"}) {
        EXPECT_FALSE(parseDdMmYy(text)) << text;
    }
}

TEST(Periods, PeriodNames) {
    struct Case {
        PeriodType type;
        int64_t code;
        const char* expected;
    };
    const Case cases[] = {
        {PeriodType::Monthly, 3, "март"},
        {PeriodType::Monthly, 12, "декабрь"},
        {PeriodType::Monthly, 13, "прежний"},  // no month name: the field keeps its text
        {PeriodType::Monthly, 0, "прежний"},
        {PeriodType::Quarterly, 2, "2 квартал"},
        {PeriodType::Quarterly, 5, "5 квартал"},
        {PeriodType::HalfYearly, 3, "3 полугодие"},
        {PeriodType::Weekly, 53, "53 неделя"},
        {PeriodType::Daily, chronoDay(2014, 3, 15), "15.03.14 дата"},
        {PeriodType::Annual, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(periodName(c.type, c.code, "прежний"), c.expected) << static_cast<int>(c.type) << " " << c.code;
    }
}

TEST(YearBounds, MovesTheWorkingYearIntoTheRange) {
    const std::string message = "Возможный период с 2009г. по 2014г.";
    struct Case {
        int year;
        int expected;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {2016, 2014, {message}},
        {2005, 2009, {message}},
        {2009, 2009, {}},
        {2014, 2014, {}},
    };
    for (const Case& c : cases) {
        int year = c.year;
        EXPECT_EQ(checkYearBounds(year, {2009, 2014}), c.messages) << c.year;
        EXPECT_EQ(year, c.expected) << c.year;
    }
}
