// Window "Свод": the consolidation shown table by table like a report, its
// column-rule marks, the empty rows hidden on request, the form's controls
// over the totals, printing, the table export, and the comparison of every
// value with the same consolidation of the year before.
#pragma once

#include "analysis/consolidation.h"
#include "app/shared_state.h"
#include "controls/control_run.h"
#include "controls/views.h"
#include "data/records.h"
#include "exchange/report_export.h"
#include "maintenance/report_print.h"
#include "platform/spreadsheet_channel.h"

#include <optional>
#include <string>
#include <vector>

namespace tavir::analysis {

struct ConsolidationGridRow {
    std::string code;          // first 8 characters of STR:CODSTR
    std::string mark;          // "?" when a column rule fails
    std::string name;          // first 150 characters of STR:NAME
    std::string sexDiagnosis;  // STR:POL followed by STR:CODMKB, 30 characters
    ConsolidatedValues values{};
    bool consolidated = false;  // some included record holds the row
    int unicod = 0;
    int number = 0;  // STR:NUMBER
};

// A column of the grid.
struct ConsolidationColumn {
    enum Role { RowCode, Mark, Name, SexDiagnosis, Sex, Wide15, Value };
    Role role = Value;
    std::string heading;
    int width = 0;       // dialog units
    int valueIndex = 0;  // value columns: 1 to 25
    std::string picture; // value columns: GRA:FORMAT
    int kind = 0;        // value columns: the consolidation kind shown by its background
    bool centred = false;
};

// A value against the same cell a year before.
struct CellChange {
    enum State {
        None,       // zero in both years
        Same,       // within the threshold
        Beyond,     // changed by more than the threshold
        NewNow,     // present now, absent a year before
        GoneNow,    // absent now, present a year before
    };
    State state = None;
    double percent = 0;  // change against the year before, for Same and Beyond
};

// The column headings of a stored header layout: the texts between pairs of
// "~" in the list-format notation, in order ("20L|M~Nстроки~@s8@" gives
// "Nстроки").
std::vector<std::string> storedHeadings(std::string_view layout);

// The comparison of one cell; `threshold` in per cent, as a magnitude.
CellChange compareCell(platform::Decimal now, platform::Decimal before, double threshold);

inline constexpr std::string_view kNoRowsMessage = "В таблице нет строк обратитесь к разработчику";
inline constexpr std::string_view kColumnErrorsMessage = "В данной таблице в графах ошибки ";
inline constexpr double kDefaultThreshold = 20;

class ConsolidationWindow {
public:
    ConsolidationWindow(const data::Installation& installation, const app::SharedState& state,
                        platform::Interaction& ui, registry::AnalysisRequest request);

    // Consolidates and builds the grid of the first table; a failure is shown
    // and returned, and the window does not open.
    platform::Status open(platform::Progress* progress = nullptr);

    // The form code, "(" + number text + ") " or a blank, the form name.
    std::string caption() const;
    const registry::AnalysisRequest& request() const { return request_; }
    const Consolidation& consolidation() const { return consolidation_; }
    const std::vector<ConsolidationTable>& tables() const { return consolidation_.tables; }
    int current() const { return current_; }
    const ConsolidationTable& currentTable() const { return consolidation_.tables[static_cast<size_t>(current_)]; }

    // "Выбор таблицы" (window "Таблицы"), "Следующая таблица", "Предыдущая таблица".
    platform::Status chooseTable();
    platform::Status nextTable();
    platform::Status previousTable();
    // The table at `index` of the table list becomes current.
    platform::Status selectTable(int index);
    bool hasNext() const { return current_ + 1 < static_cast<int>(consolidation_.tables.size()); }
    bool hasPrevious() const { return current_ > 0; }

    // "только заполненные строки": hides the rows without a value; "Контроль"
    // is unavailable while it is on.
    void setFilledOnly(bool on);
    bool filledOnly() const { return filledOnly_; }
    bool controlAvailable() const { return !filledOnly_; }

    const std::vector<ConsolidationGridRow>& grid() const { return grid_; }
    const std::vector<ConsolidationColumn>& columns() const { return columns_; }
    // The table's stored header layout (Sapki), blank when it has none; its
    // headings replace the built ones, column by column.
    const std::string& storedLayout() const { return storedLayout_; }

    // "Контроль": the form's intra-form controls over the consolidated values.
    platform::Status control(controls::ControlViews& views);
    // The same in batch mode, the error lines appended to `lines`.
    platform::Status controlLines(std::vector<controls::ResultEntry>& lines);

    // "Печать": the current table with the title as the label.
    maintenance::PrintRequest printRequest() const;
    // "Excel": the table export with the title in R3C1 and the border grid.
    platform::Status exportTable(platform::SpreadsheetServer& server, std::filesystem::path* workCopy = nullptr);

    // "Экспорт свода": every consolidated row of the form (all tables, by row
    // code) with its 25 values, written under the period "to".
    std::vector<exchange::ConsolidatedExportRow> exportRows() const;
    int64_t exportPeriod() const { return consolidation_.to; }

    // "Отклонение": the consolidation of the year before beside every value.
    // A year before without its files is told and the comparison stays off.
    platform::Status setComparing(bool on);
    bool comparing() const { return previous_.has_value(); }
    void setThreshold(double percent) { threshold_ = percent; }
    double threshold() const { return threshold_; }
    // The value of the grid row's cell a year before (zero when absent).
    platform::Decimal previousValue(int row, int valueIndex) const;
    CellChange change(int row, int valueIndex) const;

private:
    platform::Status buildGrid();
    platform::Status loadTableLayout();
    void hideEmptyRows();
    // What the form's control run takes: the consolidated rows, the tables
    // and the context of the request's year.
    controls::CheckRows checkRows() const;
    controls::TableList tableList() const;
    entry::ChooserContext controlContext() const;

    const data::Installation& installation_;
    const app::SharedState& state_;
    platform::Interaction& ui_;
    registry::AnalysisRequest request_;
    Consolidation consolidation_;
    std::optional<Consolidation> previous_;
    double threshold_ = kDefaultThreshold;
    int current_ = 0;
    bool filledOnly_ = false;
    std::vector<ConsolidationGridRow> grid_;
    std::vector<ConsolidationColumn> columns_;
    std::vector<data::Grafa> grafa_;    // of the current table, in key order
    std::vector<data::Stroka> stroka_;  // of the current table, in row-number order
    std::string storedLayout_;
};

}  // namespace tavir::analysis
