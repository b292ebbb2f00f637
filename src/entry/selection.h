// Which report report entry works on: chosen interactively, guided by the
// installation's subject, or handed over by a caller.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "entry/choosers.h"
#include "platform/interaction.h"
#include "platform/status.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavir::entry {

struct ChosenReport {
    int year = 0;
    int formCode = 0;
    std::string formName;
    std::string formNumber;  // FOR:COD
    int periodType = 0;
    std::string periodWord;
    int64_t period = 0;      // 0 for annual forms
    int district = 0;        // REG:CODREG, or 250 / 251
    std::string districtName;
    int facility = 0;        // BOL:UNICOD or a pseudo-facility code
    std::string facilityName;
    // Handed over by a caller: report entry then offers no change of form or facility.
    bool given = false;
};

// Width of the chosen report's form name.
inline constexpr int kFormNameWidth = 100;

// The caption of the entry window: for a region or district installation
// the district name, " р-н, " for a rural district or ", " otherwise, and the
// facility name (50 characters); for a facility installation the facility name.
std::string reportCaption(const ChosenReport& report, int subjectType);

// Keeps the shared working year within the year range, showing "Возможный
// период с …г. по …г." for each move; returns the year of the run.
int checkWorkingYear(app::SharedState& state, platform::Interaction& ui);

// The interactive selection: year check, form, period, district and facility
// as the installation's subject allows. `report` stays empty when a step
// ends without a choice; a file that does not open is reported and returned.
platform::Status selectReport(app::SharedState& state, const data::Installation& installation,
                              platform::Interaction& ui, std::optional<ChosenReport>& report);

// A report handed over by the list of submitted reports.
struct GivenReport {
    int facility = 0;
    int district = 0;
    int formCode = 0;
    int periodType = 0;
    int64_t period = 0;
    std::string facilityName;
    std::string districtName;
    std::string formName;
    std::string formNumber;
};

// The chosen report of a given one, after the year check. The period-type
// word is "год", "месяц", "квартал" or "полугодие" for types 0 to 3 and
// blank for weekly and daily forms.
ChosenReport givenReport(app::SharedState& state, platform::Interaction& ui, const GivenReport& given);

// How a change of form or facility in report entry ended.
enum class Change {
    Kept,     // nothing chosen: the same report goes on
    Changed,  // the report holds the new choice
    Ended,    // a step ended without a choice: report entry ends
};

// "Форма" in report entry, after the caller saved and released the report:
// the form chooser, then the period window; the facility stays.
platform::Status changeForm(const ChooserContext& ctx, ChosenReport& report, Change& change);

// "ЛПУ" in report entry: the plain district chooser, then the facility
// chooser for that district titled with its name; form and period stay.
// Nothing chosen at either step ends entry.
platform::Status changeFacility(const ChooserContext& ctx, ChosenReport& report, Change& change);

}  // namespace tavir::entry
