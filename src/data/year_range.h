// The range of years for which the installation has a reference directory,
// and the working year that start-up derives from it.
#pragma once

#include <filesystem>
#include <string_view>

namespace tavir::data {

struct YearRange {
    int first = 0;
    int last = 0;
    bool empty() const { return first == 0 && last == 0; }
};

// Shown at start-up when no entry of the working directory names a year.
inline constexpr std::string_view kNoYearDirMessage = "Отсутствует директория для ввода данных и форматами таблиц";

// Smallest and largest year named by an entry (file or directory) of
// `workdir` whose name is exactly 4 digits beginning with "199" or "20";
// {0, 0} when there is none or the directory cannot be listed.
YearRange findYearRange(const std::filesystem::path& workdir);

// The working year at start-up: the calendar year lowered to the last year of
// the range if greater, then raised to the first if smaller. An empty range
// gives 0.
int clampWorkingYear(int calendarYear, YearRange range);

}  // namespace tavir::data
