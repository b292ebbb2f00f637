#include "registry/analysis_request.h"

#include "data/periods.h"

namespace tavir::registry {

int districtForAnalysis(int filter, Analysis analysis) {
    switch (analysis) {
        case Analysis::Consolidation: return filter >= kRuralDistricts ? 0 : filter;
        case Analysis::Breakdown: return filter == kRuralDistricts || filter == kCities ? 0 : filter;
        case Analysis::Indicators: return filter;
    }
    return filter;
}

std::string_view periodAbbreviation(int periodType) {
    switch (periodType) {
        case 1: return "мес";
        case 2: return "кв";
        case 3: return "пол";
        default: return "";
    }
}

namespace {

std::string monthlyDescription(const std::string& year, int64_t l, int64_t u) {
    if (l == u) return year + " " + std::string(data::monthNominative(static_cast<int>(l))) + ". ";
    if (l == 1 && u == 12) return year + " ";
    if (l == 1 && u == 3) return year + " 1квартал. ";
    if (l == 4 && u == 6) return year + " 2квартал. ";
    if (l == 7 && u == 9) return year + " 3квартал.";
    if (l == 10 && u == 12) return year + " 4квартал. ";
    if (l == 1 && u == 6) return year + " 1-е полугодие. ";
    if (l == 7 && u == 12) return year + " 2-е полугодие. ";
    return year + " с " + std::string(data::monthGenitive(static_cast<int>(l))) + " по " +
           std::string(data::monthNominative(static_cast<int>(u))) + ".";
}

std::string quarterlyDescription(const std::string& year, int64_t l, int64_t u) {
    if (l == 1 && u == 4) return year + " ";
    if (l == 1 && u == 2) return year + " 1-е полугодие.";
    if (l == 3 && u == 4) return year + " 2-е полугодие.";
    if (l == u) return year + " " + std::to_string(l) + " квартал.";
    return year + " с " + std::to_string(l) + " квартала по " + std::to_string(u) + ".";
}

}  // namespace

std::string periodDescription(int year, int periodType, int64_t lower, int64_t upper, bool handMarked) {
    const std::string p = std::to_string(year) + "г.";
    if (handMarked) return p;
    switch (periodType) {
        case 0: return p;
        case 1: return monthlyDescription(p, lower, upper);
        case 2: return quarterlyDescription(p, lower, upper);
        case 3: return lower == 1 && upper == 2 ? p + " " : p + " " + std::to_string(lower) + "-е полугодие.";
        default: return "";
    }
}

}  // namespace tavir::registry
