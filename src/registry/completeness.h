// Completeness of reports ("Полнота отчета "): for a range of months of the
// working year, the reports submitted per district (or facility) and form,
// with a total row; its printout and its export to the spreadsheet program.
#pragma once

#include "analysis/spreadsheet_export.h"
#include "app/shared_state.h"
#include "data/paths.h"
#include "platform/interaction.h"
#include "platform/print_pages.h"
#include "platform/spreadsheet_channel.h"
#include "platform/status.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::registry {

inline constexpr std::string_view kCompletenessCaption = "Полнота отчета ";
inline constexpr std::string_view kTotalRowName = "Всего отчетов";
inline constexpr std::string_view kCompletenessTemplate = "RAS.XLS";
inline constexpr size_t kCompletenessNumberWidth = 1;
inline constexpr int kMaxFormColumns = 30;
inline constexpr int kMaxPrintedColumns = 22;

enum class CompletenessBy { Districts, Facilities };  // "по районам", "по ЛПУ"

// The period codes of a form that the month range from `low` to `high`
// covers, by the form's period type; none when the form is skipped
// (quarterly with `high` below 3).
struct PeriodRange {
    int64_t from = 0;
    int64_t to = 0;
};
std::optional<PeriodRange> formPeriods(int periodType, int64_t low, int64_t high);

struct FormColumn {
    int form = 0;      // the form number, the column's heading
    std::string code;  // FOR:COD, 12 characters
};

struct CompletenessRow {
    int code = 0;  // district code or facility; 0 for the total row
    std::string name;
    std::vector<int> counts;  // one per form column
    int district = 0;
    bool total = false;
};

struct CompletenessTable {
    CompletenessBy by = CompletenessBy::Districts;
    int year = 0;
    int64_t low = 0;
    bool daily = false;
    std::string stamp;  // the run stamp, "dd.mm.yy  hh:mm:ss"
    std::vector<FormColumn> columns;
    std::vector<CompletenessRow> rows;  // the total row first

    // Rows without the total row.
    size_t rowCount() const { return rows.empty() ? 0 : rows.size() - 1; }
};

// The count of the working year's forms over the month range, keyed and
// named as `by` says.
platform::Status countCompleteness(const data::Installation& installation, int year, int64_t low, int64_t high,
                                   CompletenessBy by, CompletenessTable& out);

class CompletenessWindow {
public:
    // The counts use the year of the moment the window opens.
    CompletenessWindow(const data::Installation& installation, platform::Interaction& ui, app::SharedState& state)
        : installation_(installation), ui_(ui), state_(state), year_(state.globYear.load()) {}

    int year() const { return year_; }
    // The window's year entry: the working year of the program and of the
    // window's counts from now on.
    void setYear(int year);

    int64_t low() const { return low_; }
    int64_t high() const { return high_; }
    void setBounds(int64_t low, int64_t high) {
        low_ = low;
        high_ = high;
    }
    // "ежедневные отчеты": the month entries take dates. A switch empties
    // both entries, as a month number read as a date means nothing.
    bool daily() const { return daily_; }
    void setDaily(bool on);
    CompletenessBy by() const { return by_; }
    void setBy(CompletenessBy by) { by_ = by; }

    // The run button, stamped `now`: the upper bound raised to the lower, the
    // count, the table. A file that does not open is shown and returned.
    platform::Status run(std::time_t now);
    const CompletenessTable& table() const { return table_; }
    // The bound as the entries show it: a date in daily mode (empty for none),
    // else the number.
    std::string boundText(int64_t bound) const;

    // The export to a work copy of RAS; `workCopy` receives its path.
    platform::Status exportTable(platform::SpreadsheetServer& server, std::filesystem::path* workCopy = nullptr);

private:
    const data::Installation& installation_;
    platform::Interaction& ui_;
    app::SharedState& state_;
    int year_;
    int64_t low_ = 0;
    int64_t high_ = 0;
    bool daily_ = false;
    CompletenessBy by_ = CompletenessBy::Districts;
    CompletenessTable table_;
};

// The printout: the title band with the lower month, the year and the run
// stamp; the form numbers and code texts of at most 22 columns; a line per
// row, counts of 0 blank.
platform::Document completenessPrintout(const CompletenessTable& table);

}  // namespace tavir::registry
