// Reporting periods: the period types of the forms, the period codes stored
// in every value record, their words and names, dates as day numbers, and
// the check of the working year against the year range.
#pragma once

#include "data/year_range.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::data {

// FOR:TIP of a form, copied into OTC:TIP.
enum class PeriodType { Annual = 0, Monthly = 1, Quarterly = 2, HalfYearly = 3, Weekly = 4, Daily = 5 };

// The period type of a stored FOR:TIP, or none for a value outside 0 to 5.
std::optional<PeriodType> periodTypeFromCode(int code);
// "год", "месяц", … : the word of the period window and of report entry.
std::string_view periodWord(PeriodType type);
// "за год", "ежемесячно", … : the name in the form pick list.
std::string_view periodTypeName(PeriodType type);

// Whether a period code may be chosen for a form of the type: annual only 0;
// monthly 1 to 13, quarterly 1 to 5, half-yearly 1 to 3 (one beyond the last
// regular period); weekly and daily any code above 0 that fits OTC:MES.
bool periodAccepted(PeriodType type, int64_t code);

// Month names for 1 to 12; empty for any other number.
std::string_view monthNominative(int month);  // "январь": a single month
std::string_view monthGenitive(int month);    // "января": the start of a month range

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CivilDate&) const = default;
};

// Dates of daily forms are day numbers: days since 28 December 1800, so
// 1 January 1801 is day 4. Proleptic Gregorian calendar.
int64_t dayNumber(int year, int month, int day);
CivilDate civilFromDay(int64_t day);
// "dd.mm.yy".
std::string formatDayNumber(int64_t day);
// A date typed as d.m.yy or d.m.yyyy (day and month of one or two digits,
// blanks around the text ignored). A two-digit year below 50 is 20yy, any
// other 19yy. None for text that is not a date of the calendar.
std::optional<int64_t> parseDdMmYy(std::string_view text);

// The period name of a report in report entry: monthly codes 1 to 12 give the
// month; other monthly codes keep `previous`; quarterly, half-yearly and
// weekly give the code and the word ("2 квартал"); daily gives the date and
// the word; annual gives an empty text.
std::string periodName(PeriodType type, int64_t code, const std::string& previous);

// Keeps the working year within the range as report entry does when it
// starts: below the first year it becomes the first, then above the last it
// becomes the last, each move with the message "Возможный период с …г. по
// …г.". Returns the messages to show, in order.
std::vector<std::string> checkYearBounds(int& year, YearRange range);

}  // namespace tavir::data
