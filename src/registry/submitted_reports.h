// The list of facilities that submitted a report ("СПИСОК УЧРЕЖДЕНИЙ СДАВШИХ
// ОТЧЕТ"): for one form and a range of periods of the working year, every
// stored report with its facility, district and kind. A report opens in
// report entry; its printout and its export to the spreadsheet program.
#pragma once

#include "analysis/spreadsheet_export.h"
#include "app/shared_state.h"
#include "data/paths.h"
#include "entry/choosers.h"
#include "entry/selection.h"
#include "platform/interaction.h"
#include "platform/print_pages.h"
#include "platform/spreadsheet_channel.h"
#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::registry {

inline constexpr std::string_view kSubmittedCaption = "СПИСОК УЧРЕЖДЕНИЙ СДАВШИХ ОТЧЕТ";
inline constexpr std::string_view kNoReports = "ОТЧЕТОВ НЕТ";
inline constexpr std::string_view kNoRequest = "Заявка отсутствует";
inline constexpr std::string_view kSubmittedTemplate = "RAS1.XLS";

struct SubmittedEntry {
    int facility = 0;          // OTC:CODUCH, "КодУчр"
    std::string districtName;  // "Регион", 25 characters
    std::string kindName;      // "Вид ЛПУ", 15 characters
    std::string facilityName;  // "Учреждение", 100 characters
    int64_t period = 0;        // OTC:MES, "Отчетный период"
    std::string periodText;    // 8 characters
    int district = 0;          // OTC:CODREG of the report's first record
    int kind = 0;              // BOL:VID
    int type = 0;              // OTC:TIP of the report's first record
};

// The period text of a list entry: blank for annual forms, the period and
// "месяц", "квартал" or "полугодие" for monthly, quarterly and half-yearly
// ones, cut to 8 characters ("1полугод"); the period and "неделя" for weekly
// and the date dd.mm.yy for daily forms.
std::string periodText(int periodType, int64_t period);

// The entries of the reports of `valueFile` with periods from `low` to `high`,
// named from the registry files, sorted by district, kind, facility and period.
platform::Status buildSubmittedList(const data::Installation& installation, const std::filesystem::path& valueFile,
                                    int periodType, int64_t low, int64_t high, std::vector<SubmittedEntry>& out);

class SubmittedReportsWindow {
public:
    SubmittedReportsWindow(const data::Installation& installation, platform::Interaction& ui, app::SharedState& state)
        : installation_(installation), ui_(ui), state_(state) {}

    // The year check, the form chooser, the bounds and the list. False in
    // `opened` when no form was chosen and the window does not open.
    platform::Status open(bool& opened);
    // The same without building the list, for a caller that sets the bounds
    // first.
    platform::Status openForm(bool& chosen);
    // "ФОРМА": another form; cancelling the chooser sets `closed` and the
    // window closes. A new form empties the list until "Ok"; a form of
    // another period type takes the bounds as on opening.
    platform::Status changeForm(bool& closed);

    int year() const { return year_; }
    const entry::FormChoice& form() const { return form_; }
    // Annual forms hide the period entries.
    bool periodsShown() const;
    int64_t low() const { return low_; }
    int64_t high() const { return high_; }
    void setBounds(int64_t low, int64_t high) {
        low_ = low;
        high_ = high;
    }

    // "Ok": the list for the entered bounds; an empty one shows "ОТЧЕТОВ НЕТ".
    platform::Status rebuild();
    const std::vector<SubmittedEntry>& entries() const { return entries_; }
    // "Всего отчетов: " and the count.
    std::string totalText() const;

    // The report of entry `index` for report entry's given-report mode, in
    // the year of the list.
    entry::ChosenReport reportToOpen(size_t index);
    // Report entry of entry `index` has ended with `district` in the
    // caller's district variable: 0 means the report was deleted there, and
    // its entry leaves the list.
    void reportClosed(size_t index, int district);

    // The printout; false with "Заявка отсутствует" shown for an empty list.
    bool printout(platform::Document& out) const;
    // "Excel": the list into a work copy of RAS1; `workCopy` receives its path.
    platform::Status exportList(platform::SpreadsheetServer& server, std::filesystem::path* workCopy = nullptr);

private:
    void defaultBounds();

    const data::Installation& installation_;
    platform::Interaction& ui_;
    app::SharedState& state_;
    int year_ = 0;
    entry::FormChoice form_;
    int64_t low_ = 0;
    int64_t high_ = 0;
    std::vector<SubmittedEntry> entries_;
};

// The printout of a list: the title band with the form number, the form
// name, the headings "Район", "Учреждение", "Вид ЛПУ", a line per entry and
// the four legend lines.
platform::Document submittedPrintout(const entry::FormChoice& form, const std::vector<SubmittedEntry>& entries);

}  // namespace tavir::registry
