// A year's value file at regional size, shared by the benchmarks: 300
// facilities × 12 months × 250 rows, about eight non-zero values a row
// (900 000 records), facility n in district n % 28 + 1.
#pragma once

#include "platform/layout.h"

#include <filesystem>

namespace tavir::bench {

inline constexpr int kFacilities = 300;
inline constexpr int kMonths = 12;
inline constexpr int kRows = 250;
inline constexpr int kValues = 25;

// A scratch folder of this run, removed by main().
std::filesystem::path benchDir();
const platform::FileDef& otchet();
// Writes the file anew at `path`; false when that fails.
bool buildRegionValueFile(const std::filesystem::path& path);
// The file, built on first use in benchDir().
const std::filesystem::path& regionValueFile();

// A working directory around that file: year kBenchYear with the monthly
// form 12 whose value file it is (tables 1000 to 1003, 25 plain value
// columns each), and the registry of its facilities (kind
// n % 5 + 1, towns and villages alternating) and districts.
inline constexpr int kBenchYear = 2026;
const std::filesystem::path& regionInstallation();

}  // namespace tavir::bench
