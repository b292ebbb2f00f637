// The common choosers: forms of the working year, districts and the
// facilities of a district. Each shows its list through the interaction
// port's pick window and fills the caller's variables, as report entry,
// the settings window and the analyses use them.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "platform/interaction.h"
#include "platform/status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::entry {

// What every chooser works with: the installation, the user, the year of the
// caller's run and the installation's subject at the time of the call.
struct ChooserContext {
    const data::Installation& installation;
    platform::Interaction& ui;
    int year = 0;
    app::Subject subject;
};

// The context of a call made now: the working year and the subject copies
// of the shared state.
ChooserContext currentContext(const data::Installation& installation, platform::Interaction& ui,
                              const app::SharedState& state);

// A code with its name, as the choosers hand them back.
struct Choice {
    int code = 0;
    std::string name;
};

// Pseudo-districts of the district chooser with region lines and the
// pseudo-facilities that stand for consolidated reports.
inline constexpr int kRegionDistrict = 250;
inline constexpr int kAllDistricts = 251;
inline constexpr std::string_view kRegionDistrictName = "Тарвинская область";
inline constexpr std::string_view kAllDistrictsName = "Районы Тарвинской области";
inline constexpr int kRegionFacility = 20000;
inline constexpr int kAllDistrictsFacility = 20001;
inline constexpr int kDistrictFacilityBase = 21000;  // plus the district code
// District names are kept with up to this many characters.
inline constexpr int kDistrictNameWidth = 30;
// Facility names (BOL:NAZV) are 50 characters wide.
inline constexpr int kFacilityNameWidth = 50;
// Forms from this code on may be entered for a district as a whole.
inline constexpr int kDistrictFormsFrom = 900;

// "Данные в справочнике 2014 отсутствуют".
std::string noReferenceDataMessage(int year);

// The caller's variables of the form chooser.
struct FormChoice {
    int code = 0;
    std::string name;
    std::string number;      // FOR:COD
    std::string periodName;  // "ежемесячно", … (without the deadline text)
    int periodType = 0;
};

// Window "ФОРМЫ": the switched-on forms of the year in code order. A line
// taken fills every variable (the name cut to `nameWidth` characters);
// closing the window sets the code to 0 and the name blank and leaves the
// rest. With no form at all the message of noReferenceDataMessage is shown
// and nothing changes. A file that does not open is reported and returned.
platform::Status chooseForm(const ChooserContext& ctx, int nameWidth, FormChoice& choice);

enum class DistrictMode {
    Plain,            // "РАЙОНЫ": the districts, only the subject's own for a district or facility installation
    WithRegionLines,  // "Список": every district, then 250 and 251
};

// The district chooser. A plain list of exactly one line takes it without a
// window. A line taken gives its code and name (cut to `nameWidth`, at most
// 30 characters); closing the window gives 0 and blank. An empty plain list
// shows noReferenceDataMessage and changes nothing.
platform::Status chooseDistrict(const ChooserContext& ctx, DistrictMode mode, int nameWidth, Choice& choice);

struct FacilityQuery {
    int district = 0;
    std::optional<int> form;  // the caller's form, when it has one
    std::string title;        // shown above the list (up to 30 characters)
    int nameWidth = kFacilityNameWidth;
};

// Window "Учреждения УЗ Тарвинской области": the facilities of the district
// that pass the filters, by facility kind and then settlement mark. A line
// taken gives its code and name (cut to nameWidth); "Ввод по району", shown
// for forms from 900 on, gives 21000 + district with a blank name; closing
// the window gives 0 and blank. When no facility passes, no window opens and
// nothing changes.
platform::Status chooseFacility(const ChooserContext& ctx, const FacilityQuery& query, Choice& choice);

// One line of the facility listing.
struct FacilityLine {
    int code = 0;
    int district = 0;
    std::string name;  // up to 150 characters
};

// The facilities that pass the filters (with no form), in district order,
// appended to `lines`; only those of `district` when one is given.
platform::Status listFacilities(const ChooserContext& ctx, std::optional<int> district,
                                std::vector<FacilityLine>& lines);

}  // namespace tavir::entry
