#include "data/year_range.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace tavir::data {

namespace fs = std::filesystem;

namespace {

// A name without an extension, 4 digits, in the 1990s or the 2000s.
bool isYearName(const std::string& name) {
    return name.size() == 4 && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           (name.starts_with("199") || name.starts_with("20"));
}

}  // namespace

YearRange findYearRange(const fs::path& workdir) {
    YearRange range;
    std::error_code ec;
    for (fs::directory_iterator it(workdir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!isYearName(name)) continue;
        int year = std::stoi(name);
        if (range.first == 0 || year < range.first) range.first = year;
        if (year > range.last) range.last = year;
    }
    return range;
}

int clampWorkingYear(int calendarYear, YearRange range) {
    int year = calendarYear;
    if (year > range.last) year = range.last;
    if (year < range.first) year = range.first;
    return year;
}

}  // namespace tavir::data
