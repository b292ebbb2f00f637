// Which reports a form's value file holds: a report is a (period, facility)
// pair with at least one value record. The report list, the list of
// submitted reports and the completeness count all ask this one question.
#pragma once

#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tavir::registry {

// One stored report, with the district and period type of its first record
// in the order of OTC:KEYCODUCH.
struct StoredReport {
    int64_t period = 0;  // OTC:MES
    int facility = 0;    // OTC:CODUCH
    int district = 0;    // OTC:CODREG
    int type = 0;        // OTC:TIP
    bool operator==(const StoredReport&) const = default;
};

// The largest OTC:MES of the value file, 0 when it holds no record.
platform::Status latestPeriod(const std::filesystem::path& valueFile, int64_t& period);

// Every report whose period lies within [low, high], in the order of
// OTC:KEYCODUCH (period, then facility), replacing `reports`.
platform::Status storedReports(const std::filesystem::path& valueFile, int64_t low, int64_t high,
                               std::vector<StoredReport>& reports);

}  // namespace tavir::registry
