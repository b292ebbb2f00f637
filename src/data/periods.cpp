#include "data/periods.h"

#include "platform/number_format.h"

#include <array>
#include <cstdio>
#include <limits>

namespace tavir::data {

namespace {

constexpr std::array<std::string_view, 6> kWords{"год", "месяц", "квартал", "полугодие", "неделя", "дата"};
constexpr std::array<std::string_view, 6> kTypeNames{"за год",       "ежемесячно", "ежеквартально",
                                                     "за полугодие", "за неделя",  "за день"};
constexpr std::array<std::string_view, 12> kNominative{"январь", "февраль", "март",     "апрель",  "май",    "июнь",
                                                       "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};
constexpr std::array<std::string_view, 12> kGenitive{"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                                     "июля",   "августа", "сентября", "октября", "ноября", "декабря"};

// Days from 1 January 1970 in the proleptic Gregorian calendar (the
// well-known era-based conversion, exact for every int64 range used here).
constexpr int64_t daysFromEpoch(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromEpoch(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

constexpr int64_t kDayZero = daysFromEpoch(1800, 12, 28);

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Digits of `text` from `pos` up to `maxDigits`, advancing `pos`; the count of
// digits read goes to `count`.
int readDigits(std::string_view text, size_t& pos, int maxDigits, int& count) {
    int value = 0;
    count = 0;
    while (pos < text.size() && count < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos++] - '0');
        ++count;
    }
    return value;
}

}  // namespace

std::optional<PeriodType> periodTypeFromCode(int code) {
    if (code < 0 || code > 5) return std::nullopt;
    return static_cast<PeriodType>(code);
}

std::string_view periodWord(PeriodType type) { return kWords[static_cast<size_t>(type)]; }

std::string_view periodTypeName(PeriodType type) { return kTypeNames[static_cast<size_t>(type)]; }

bool periodAccepted(PeriodType type, int64_t code) {
    switch (type) {
        case PeriodType::Annual: return code == 0;
        case PeriodType::Monthly: return code >= 1 && code <= 13;
        case PeriodType::Quarterly: return code >= 1 && code <= 5;
        case PeriodType::HalfYearly: return code >= 1 && code <= 3;
        case PeriodType::Weekly:
        case PeriodType::Daily: return code >= 1 && code <= std::numeric_limits<int32_t>::max();
    }
    return false;
}

std::string_view monthNominative(int month) {
    return month >= 1 && month <= 12 ? kNominative[month - 1] : std::string_view();
}

std::string_view monthGenitive(int month) {
    return month >= 1 && month <= 12 ? kGenitive[month - 1] : std::string_view();
}

int64_t dayNumber(int year, int month, int day) { return daysFromEpoch(year, month, day) - kDayZero; }

CivilDate civilFromDay(int64_t day) { return civilFromEpoch(day + kDayZero); }

std::string formatDayNumber(int64_t day) {
    CivilDate date = civilFromDay(day);
    char buf[32];
    int yy = ((date.year % 100) + 100) % 100;
    std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", date.day, date.month, yy);
    return buf;
}

std::optional<int64_t> parseDdMmYy(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);

    size_t pos = 0;
    int digits = 0;
    int day = readDigits(text, pos, 2, digits);
    if (digits == 0 || pos >= text.size() || text[pos++] != '.') return std::nullopt;
    int month = readDigits(text, pos, 2, digits);
    if (digits == 0 || pos >= text.size() || text[pos++] != '.') return std::nullopt;
    int year = readDigits(text, pos, 4, digits);
    if (pos != text.size() || (digits != 2 && digits != 4)) return std::nullopt;
    if (digits == 2) year += year < 50 ? 2000 : 1900;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    return dayNumber(year, month, day);
}

std::string periodName(PeriodType type, int64_t code, const std::string& previous) {
    switch (type) {
        case PeriodType::Annual: return {};
        case PeriodType::Monthly:
            return code >= 1 && code <= 12 ? std::string(monthNominative(static_cast<int>(code))) : previous;
        case PeriodType::Daily:
            // A daily code is a date and is shown as one wherever it is shown.
            if (code > 0) return formatDayNumber(code) + " " + std::string(periodWord(type));
            break;
        default: break;
    }
    return platform::formatNumber(code) + " " + std::string(periodWord(type));
}

std::vector<std::string> checkYearBounds(int& year, YearRange range) {
    const std::string message =
        "Возможный период с " + platform::formatNumber(range.first) + "г. по " + platform::formatNumber(range.last) + "г.";
    std::vector<std::string> messages;
    if (year < range.first) {
        messages.push_back(message);
        year = range.first;
    }
    if (year > range.last) {
        messages.push_back(message);
        year = range.last;
    }
    return messages;
}

}  // namespace tavir::data
