// Window "Список отчетов": every stored report of one form and a range of
// periods of the working year, narrowed by district, facility kind and
// town/village, searched by facility code or name, marked one by one or in
// bulk, and turned into the request of an analysis. The list changes nothing
// in the data.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "entry/choosers.h"
#include "platform/interaction.h"
#include "platform/status.h"
#include "registry/analysis_request.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavir::registry {

struct ReportListEntry {
    int number = 0;  // "N", 1.. after the sort
    int facility = 0;
    int64_t period = 0;
    std::string districtName;  // "район"
    std::string kindName;      // "вид"
    std::string settlement;    // "село": "город", "село", "село*"
    std::string facilityName;  // "учреждение"
    int district = 0;          // OTC:CODREG of the report's first record
    int kind = 0;              // BOL:VID
    int settlementCode = 0;    // BOL:SEL: 1 town, 2 village, 3 village with a star
    bool marked = false;
    // The untitled mark column: "o" when marked.
    std::string markText() const { return marked ? "o" : ""; }
};

inline constexpr std::string_view kRegionText = "Тарвинская область";

// "Период с 2012г. по 2014г.": the working year was outside the year range
// and moved to the nearer bound. Returns the year kept.
int keepYearInRange(app::SharedState& state, platform::Interaction& ui);

class ReportListWindow {
public:
    ReportListWindow(const data::Installation& installation, app::SharedState& state, platform::Interaction& ui);

    // The year check, the form chooser and the list; false in `opened` when
    // no form was chosen and the window does not open.
    platform::Status open(bool& opened);
    // The year check and the form chooser alone, for a caller that sets the
    // periods before the first build.
    platform::Status openForm(bool& chosen);
    // "Форма": another form; false in `open` when the chooser was cancelled
    // and the window closes. A different form empties the list until "Ok".
    platform::Status changeForm(bool& open);
    // The window's year entry: the list is emptied and the year kept within
    // the year range.
    void changeYear(int year);
    // "Ok": builds the list anew for the entered periods.
    platform::Status build();

    // The period entries; an upper period of none means the latest stored one.
    void setLower(int64_t period) { lower_ = period; }
    void setUpper(std::optional<int64_t> period) { upper_ = period; }
    // The entries as typed: numbers, or dates dd.mm.yy for daily forms; a
    // blank upper entry is none. Text that is neither is refused with a
    // message and changes nothing.
    bool enterPeriods(std::string_view lower, std::string_view upper);

    // Marks and filters; each re-marks the list as the window does.
    void toggle(int index);
    void markAll();  // "Выделить все"
    void reset();    // "Сброс"
    void chooseDistrict(int code);
    void chooseKind(int code);
    void setTown(bool on);
    void setVillage(bool on);

    // "По коду": the first entry of that facility.
    std::optional<int> findCode(int facility) const;
    // "Поиск ЛПУ по названию": from the entry after `selected`, wrapping once.
    std::optional<int> findName(std::string_view text, std::optional<int> selected) const;

    // The request of a button, or none when a message stopped it.
    std::optional<AnalysisRequest> request(Analysis analysis);

    // The working year of the window (the shared one, kept within range).
    int year() const { return year_; }
    const entry::FormChoice& form() const { return form_; }
    std::string caption() const;
    int64_t lower() const { return lower_; }
    std::optional<int64_t> upper() const { return upper_; }
    // Annual forms show no period entries; daily forms show dates.
    bool showsPeriods() const { return form_.periodType != 0; }
    bool showsDates() const { return form_.periodType == 5; }
    // The period as the list and the entries show it.
    std::string periodText(int64_t period) const;
    // "без учета типа граф" is offered.
    bool offersColumnKindSwitch() const { return columnKindSwitch_; }
    bool ignoreColumnKinds() const { return ignoreColumnKinds_; }
    void setIgnoreColumnKinds(bool on) { ignoreColumnKinds_ = on; }

    const std::vector<ReportListEntry>& entries() const { return entries_; }
    int markedCount() const;
    const std::vector<entry::Choice>& districtChoices() const { return districts_; }
    const std::vector<entry::Choice>& kindChoices() const { return kinds_; }
    int districtFilter() const { return district_; }
    int kindFilter() const { return kind_; }
    bool town() const { return town_; }
    bool village() const { return village_; }
    const std::string& regionText() const { return regionText_; }
    const std::string& kindText() const { return kindText_; }

    // The clock that gives yesterday's date for a daily form without
    // reports; tests set their own.
    void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

private:
    entry::ChooserContext context() const;
    platform::Status chooseForm(bool& chosen);
    void clearFilters();
    void remark();
    platform::Status fillNamesAndChoices();
    platform::Status findColumnKindSwitch();
    std::string description(const ReportListEntry& entry, std::string_view abbreviation) const;

    const data::Installation& installation_;
    app::SharedState& state_;
    platform::Interaction& ui_;
    std::function<std::time_t()> clock_;
    int year_ = 0;
    entry::FormChoice form_;
    bool formChosen_ = false;
    int64_t lower_ = 1;
    std::optional<int64_t> upper_;
    std::vector<ReportListEntry> entries_;
    std::vector<entry::Choice> districts_;
    std::vector<entry::Choice> kinds_;
    int district_ = 0;
    int kind_ = 0;
    bool town_ = true;
    bool village_ = true;
    bool columnKindSwitch_ = false;
    bool ignoreColumnKinds_ = false;
    std::string regionText_{kRegionText};
    std::string kindText_;
};

}  // namespace tavir::registry
