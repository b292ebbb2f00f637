// What the report list hands to an analysis: one value with the form, the
// period range, the district filter as that analysis receives it, the chosen
// reports and the title. Consolidation, breakdowns and indicators take this
// value and nothing else, so each can be computed from a request built by a
// test or by tavir-cli.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::registry {

enum class Analysis {
    Consolidation,  // "С В О Д     F3"
    Breakdown,      // "Конструктор отчетов  F4"
    Indicators,     // "Показатели"
};

// District filter values that stand for groups of districts.
inline constexpr int kRuralDistricts = 300;     // "Районы": districts below 100
inline constexpr int kCities = 400;             // "Тарвин+Ольмов": 101 to 199
inline constexpr int kMunicipalDistricts = 500;  // "Муниципальные": below 200

struct ReportRef {
    int facility = 0;
    int64_t period = 0;
    bool operator==(const ReportRef&) const = default;
    auto operator<=>(const ReportRef&) const = default;
};

struct AnalysisRequest {
    int form = 0;
    std::string formNumber;  // FOR:COD, up to 10 characters
    std::string formName;
    int periodType = 0;
    int64_t lower = 0;
    int64_t upper = 0;
    // The district filter as the analysis receives it: 0 for the whole
    // region, a district code, or a group (500 for breakdowns; 300, 400 and
    // 500 for indicators).
    int district = 0;
    // Sorted by facility, then period; empty means every report of the range.
    std::vector<ReportRef> chosen;
    bool ignoreColumnKinds = false;  // "без учета типа граф"
    std::string title;               // up to 150 characters
    int year = 0;
};

// The district filter of the list as each analysis receives it.
int districtForAnalysis(int filter, Analysis analysis);

// "мес", "кв", "пол", blank for the other period types: follows the period
// in an entry's description.
std::string_view periodAbbreviation(int periodType);

// The period description put in front of the title: "2013г. март. ",
// "2013г. 1квартал. ", "2013г. с февраля по май.", … Weekly and daily forms
// have none; `handMarked` (no filter, a set of marked reports) gives the year
// alone.
std::string periodDescription(int year, int periodType, int64_t lower, int64_t upper, bool handMarked);

}  // namespace tavir::registry
