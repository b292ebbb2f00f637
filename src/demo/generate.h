// Report values of the demo: generated per facility, form and period from
// the facility's size, so that totals come from the tables' formulas and
// the control rules hold, except for a few violations made on purpose.
#pragma once

#include "demo/model.h"
#include "demo/text_table.h"

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tavir::demo {

// How the plain tables are filled: scale of each table (or the table it is
// a share of), weight of each row (or the row it is a share of), and of
// each column its scale or the column it is a share of, with its step.
struct Plan {
    struct Table {
        double scale = 1;
        int parent = 0;
        double lo = 0, hi = 0;
        std::set<int> kinds;
    };
    struct Row {
        double weight = 0;
        std::string parent;
        double lo = 0, hi = 0;
        std::set<int> kinds;
    };
    struct Column {
        double scale = 0;  // above 0: drawn; below 0: set by the form's own rule; 0: a share of `parent`
        int parent = 0;
        double lo = 0, hi = 0;
        double step = 1;
    };
    std::map<std::pair<int, int>, Table> tables;
    std::map<std::tuple<int, int, std::string>, Row> rows;
    std::map<std::tuple<int, int, int>, Column> columns;

    platform::Status read(const std::filesystem::path& dataDir);
};

// A report that breaks a control rule on purpose.
struct Violation {
    int year = 0;
    int form = 0;
    int facility = 0;
    int64_t period = 0;
    std::string rules;  // the rule files it breaks: "ContrStr", "ContrGr", "ContrTab", "ContrMF"
    std::string what;   // what was changed, for the README
};

// A report stored the way real installations sometimes hold them, so that
// the registry windows show every case: a facility stored under another
// district, a facility or a district missing from the registry, a facility
// whose kind the list of kinds lacks, the districts' consolidated report.
struct RegistryCase {
    int year = 0;
    int form = 0;
    int facility = 0;
    int64_t period = 0;
    int district = 0;  // OTC:CODREG as stored
    std::string what;  // for the README
};

// Reports kept out of the value files, to be written to the files to import.
enum class Delivery { FacilityFile, DistrictFile, ConsolidatedFile, OldFormat, Billing };

struct Generated {
    std::map<std::pair<int, int>, std::vector<Report>> files;  // (year, form) -> reports in file order
    std::vector<std::pair<Delivery, Report>> withheld;
    std::vector<Violation> violations;
    std::vector<RegistryCase> registryCases;
    // Facilities of the registry cases that the facility registry holds
    // beside the listed ones.
    std::vector<data::Bolnbol> unlistedFacilities;
};

struct GenerationInput {
    const std::map<int, Reference>* references = nullptr;  // by year
    const std::vector<Facility>* facilities = nullptr;
    const std::vector<DistrictInfo>* districts = nullptr;
    const Plan* plan = nullptr;
    uint64_t seed = 1;
};

inline constexpr int kFirstYear = 2025;
inline constexpr int kLastYear = 2026;
// The year in progress is reported up to this month, quarter, half-year, week and day.
inline constexpr int kLastMonth = 11;
inline constexpr int kLastQuarter = 3;
inline constexpr int kLastHalf = 1;
inline constexpr int kLastWeek = 48;

platform::Status generateValues(const GenerationInput& input, Generated& out);

}  // namespace tavir::demo
