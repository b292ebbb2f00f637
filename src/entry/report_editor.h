// The editing of one report: the edit mark in WWOD, loading the report into
// the report cache and a table into the grid, moving between tables, the
// table calculation, and saving, clearing, emptying and deleting. This is
// the whole behaviour of the entry window; the window only shows it.
//
// Every write to the value file is one transaction: a save, the empty
// report and a deletion either land whole or leave the stored report as it
// was, and a reader never sees a report partly rewritten.
#pragma once

#include "app/shared_state.h"
#include "controls/evaluation.h"
#include "controls/views.h"
#include "data/paths.h"
#include "data/record_binding.h"
#include "data/records.h"
#include "entry/report_lists.h"
#include "entry/selection.h"
#include "entry/table_calculation.h"
#include "platform/interaction.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavir::entry {

// Texts of report entry that tests and the windows share.
inline constexpr std::string_view kBusyQuestion =
    "Если был сбой-зайдите в меню \"Помощь\" и восстановите все ключи|Если Вы уверены, |"
    "что oтчет не занят другим пользователем нажмите продолжить.";
inline constexpr std::string_view kBusyButtons = "&Выход|&Продолжить";
inline constexpr std::string_view kNoRowsMessage = "В таблице нет строк обратитесь к разработчику";
inline constexpr std::string_view kTableSavedMessage = "Данная таблица записана в базу";
inline constexpr std::string_view kReportSavedMessage = "ЗАПИСАНО .";
inline constexpr std::string_view kCloseQuestion = "СОХРАНИТЬ  ОТЧЕТ ?";
inline constexpr std::string_view kChangeQuestion = "Сохранить отчет ?";
inline constexpr std::string_view kYesNo = "&Да|&Нет";
inline constexpr std::string_view kEmptyQuestion = "В отчете есть данные.|Сохранить пустой отчет ?";
inline constexpr std::string_view kEmptyButtons = "&Да|&Отменить";
inline constexpr std::string_view kDeleteQuestion = "УДАЛИТЬ ОТЧЕТ ?";
inline constexpr std::string_view kDeleteButtons = "&НЕТ|&ДА";
inline constexpr std::string_view kClearButtons = "&Нет|&Да";

// How the table chooser ended.
enum class TableChoice { Kept, Loaded, Ended };

class ReportEditor {
public:
    // `callerDistrict` is the caller's district variable of the given-report
    // mode: deleting the report sets it to 0.
    ReportEditor(const data::Installation& installation, platform::Interaction& ui, app::SharedState& state,
                 ChosenReport report, int* callerDistrict = nullptr);
    ~ReportEditor();
    ReportEditor(const ReportEditor&) = delete;
    ReportEditor& operator=(const ReportEditor&) = delete;

    // Sets the edit mark and loads the report. False when entry ends at once:
    // "&Выход" at the busy question, a file that does not open, a first
    // table without rows.
    bool start();
    // Whether report entry has ended; the window then closes.
    bool ended() const { return ended_; }

    // --- What the window shows ---
    const ChosenReport& report() const { return report_; }
    std::string caption() const;
    const std::string& periodName() const { return periodName_; }
    // The period code as shown: a date dd.mm.yy for daily forms.
    std::string periodCodeText() const;
    // "ЛПУ" and "Форма" work only in interactive mode.
    bool canChangeReport() const { return !report_.given; }
    bool carryOverShown() const { return carryOverOffered(report_.formCode, report_.period); }

    const std::vector<TableEntry>& tables() const { return tables_; }
    int currentTableIndex() const { return current_; }
    const TableEntry& currentTable() const { return tables_[current_]; }
    bool isFirstTable() const { return current_ == 0; }
    bool isLastTable() const { return current_ + 1 >= static_cast<int>(tables_.size()); }

    const std::vector<GridRow>& grid() const { return grid_; }
    const std::vector<RowListEntry>& rowList() const { return rowList_; }
    // Value columns 1 to 25 of the current table; DATA index i is columns()[i].
    const std::array<ColumnAttr, kValueCount>& columns() const { return columns_; }
    // Whether any row of the current table has diagnosis codes.
    bool hasDiagnosisCodes() const { return hasCodes_; }
    const ReportCache& cache() const { return cache_; }
    // QRASH and QC of the current table.
    const std::vector<data::Rash>& calcRules() const { return qrash_; }
    const std::vector<data::ContrGr>& columnRules() const { return qc_; }

    bool changed() const { return changed_; }
    bool controlsOff() const { return controlsOff_; }
    void setControlsOff(bool off) { controlsOff_ = off; }
    bool byColumns() const { return byColumns_; }
    void setByColumns(bool on) { byColumns_ = on; }
    // Index into grid() of the current row.
    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row);

    // --- Editing ---
    // A value typed in the grid's in-place editor: stored in the grid row and
    // the report marked changed. `valueIndex` is 1-based.
    // The row's error mark follows the quiet entry check of its new values.
    void setValue(int row, int valueIndex, Decimal value);
    // A text typed for value index `valueIndex` (1-based) of the current
    // table, read with its column's picture. A refused text gives nothing
    // after a beep and a message that names the field's limit.
    std::optional<Decimal> readTyped(int valueIndex, std::string_view typed);
    // A row stored by the row window: unless controls are off the entry check
    // runs first (its message shown), and its outcome sets the error mark.
    // Returns the check with its markers.
    controls::EntryCheck storeRow(int row, const Values& values);
    // The entry check of a grid row with the given values, its message shown.
    controls::EntryCheck checkRow(int row, const Values& values);
    // The grid into the report cache: rows with a non-zero value are kept,
    // all-zero rows leave it. Marks the report changed.
    void sync();

    // --- Tables ---
    // Changing table: sync, load the table, first row current. False when the
    // table has no rows, which ends report entry as closing does.
    bool selectTable(int index);
    bool nextTable();
    bool previousTable();
    // The chooser "Таблицы"; closing it keeps the table.
    TableChoice chooseTable();

    // --- Buttons ---
    // "Расчет таблиц": the calculation rules of the current table, then sync.
    void calculate();
    // "Перенос остатков…": values 1 to 3 from the previous period.
    void carryOverBalances();
    // "Контроль": sync, then the intra-form control run on the cache.
    void runControls(controls::ControlViews& views);
    // "СохранитьТаблицу".
    void saveTable();
    // "Сохранить отчет"; `announce` shows "ЗАПИСАНО ." after a save.
    bool saveReport(bool announce = true);
    // "Очистить таблицу": after the question, the table's rows leave the cache.
    void clearTable();
    // "Сохранить пустой отчет и выйти".
    void emptyReport();
    // "Удалить отчет".
    void deleteReport();
    // "Форма" and "ЛПУ".
    void otherForm();
    void otherFacility();
    // Closing the window: the save question when changed, then the mark is
    // released and entry ends. False when the window stays open (the save
    // question was closed without an answer, or the save failed).
    bool close();

private:
    using ReportChanger = platform::Status (*)(const ChooserContext&, ChosenReport&, Change&);
    // The common flow of "Форма" and "ЛПУ": the save question, the edit mark
    // released while the choosers run, then the new report or the old one.
    void changeReport(ReportChanger changer);
    bool loadReport();
    bool loadTable();
    // The quiet entry check of every grid row sets its error mark.
    void refreshMarks();
    // Ends entry as closing does after a table without rows.
    void endAfterEmptyTable();
    bool setMark();
    void releaseMark();
    bool askSaveBeforeChange();
    void end();
    bool openValueFile();
    // Reports a failed operation to the user.
    void tell(const platform::Status& st, std::string_view what);
    data::Otchet valueRecord(int table, int unicod, const Values& values) const;
    platform::Status writeTable();
    // One transaction: the stored report's records leave the value file and
    // `records` take their place.
    platform::Status replaceReport(const std::vector<data::Otchet>& records);
    platform::Status writeReport();
    platform::Status writeEmptyReport();
    platform::Status removeReport();
    platform::Status removeStoredRecords(data::RecordFile<data::Otchet>& file);

    const data::Installation& installation_;
    platform::Interaction& ui_;
    app::SharedState& state_;
    ChosenReport report_;
    int* callerDistrict_;
    std::unique_ptr<data::RecordFile<data::Otchet>> valueFile_;

    std::vector<TableEntry> tables_;
    int current_ = 0;
    std::vector<GridRow> grid_;
    std::vector<RowListEntry> rowList_;
    std::array<ColumnAttr, kValueCount> columns_{};
    bool hasCodes_ = false;
    ReportCache cache_;
    std::vector<data::Rash> rules_;  // as read, in key order
    std::vector<data::Rash> qrash_;
    std::vector<data::ContrGr> qc_;

    std::string periodName_;
    int currentRow_ = 0;
    bool changed_ = false;
    bool controlsOff_ = false;
    bool byColumns_ = false;
    bool marked_ = false;
    bool ended_ = false;
};

}  // namespace tavir::entry
