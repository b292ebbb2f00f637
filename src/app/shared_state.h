// The state that the whole process shares: the working year, the year range
// and the copies of the installation's subject. Every window reads it; the
// toolbar, the year bounds check and the settings window write it. Windows
// may do long work on worker threads, so every member is safe to read and
// write from any thread.
#pragma once

#include "data/year_range.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

namespace tavir::app {

inline constexpr std::string_view kVersionText = "Версия ПП 2.1.4 от 24.01.12";

// Subject types of the installation (USE:TIPUSER).
inline constexpr int kSubjectRegion = 0;    // the whole region (health department)
inline constexpr int kSubjectDistrict = 1;  // one district
inline constexpr int kSubjectFacility = 2;  // one facility

// Copies of USE:TIPUSER, USE:CODREG, USE:KODUSER and USE:NAMEOBL.
struct Subject {
    int type = kSubjectRegion;
    int district = 0;
    int code = 0;  // facility (type 2) or district (type 1); 0 while not configured
    std::string regionTitle;
    bool operator==(const Subject&) const = default;
};

class SharedState {
public:
    std::atomic<int> globYear{0};   // GLOBYEAR, the working year
    std::atomic<int> globYearS{0};  // GLOBYEAR_S, first year of the range
    std::atomic<int> globYearE{0};  // GLOBYEAR_E, last year of the range

    data::YearRange yearRange() const { return {globYearS.load(), globYearE.load()}; }

    Subject subject() const {
        std::lock_guard lock(mutex_);
        return subject_;
    }
    void setSubject(Subject subject) {
        std::lock_guard lock(mutex_);
        subject_ = std::move(subject);
    }

    // The exchange path of the export and import windows: the last one used
    // stays chosen for the next window while the program runs.
    std::string exchangePath() const {
        std::lock_guard lock(mutex_);
        return exchangePath_;
    }
    void setExchangePath(std::string path) {
        std::lock_guard lock(mutex_);
        exchangePath_ = std::move(path);
    }

private:
    mutable std::mutex mutex_;
    Subject subject_;
    std::string exchangePath_ = "A:\\";
};

// The one instance of the running program. Procedures take the state they
// work on as a parameter, so tests give each case a state of its own.
SharedState& sharedState();

}  // namespace tavir::app
