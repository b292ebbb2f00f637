// The row window "ВВОД  ДАННЫХ": one grid row of the current table at a
// time, walked by row code. Rows are stored back into the grid; the value
// file is written only by the entry window's saves.
#pragma once

#include "controls/evaluation.h"
#include "entry/report_editor.h"
#include "entry/table_calculation.h"

#include <string>
#include <vector>

namespace tavir::entry {

class RowEntry {
public:
    // Opens at grid row `row` of the editor's current table.
    RowEntry(ReportEditor& editor, platform::Interaction& ui, int row);

    // The form code, a blank and the form name.
    std::string caption() const;
    int row() const { return row_; }
    const GridRow& current() const { return editor_.grid()[row_]; }
    // The values shown in the entries; the window edits them in place.
    Values& values() { return values_; }
    const Values& values() const { return values_; }
    const EntryColouring& colouring() const { return colouring_; }
    // Markers of the last entry check, beside the value entries.
    const std::vector<controls::EntryMarker>& markers() const { return markers_; }
    int storedCount() const { return stored_; }
    // Whether the table changed (the window then shows the new table from its first row).
    bool reopened() const { return reopened_; }

    // F2, "F2-сохранить", or the focus reaching the last value column: the
    // entry check unless controls are off, then the row into the grid.
    void store();
    // A row code typed in ?QT:CODSTR: another row with that code becomes
    // current; a code that no row has opens the row chooser.
    void rowCodeTyped(std::string_view code);
    // "Стр/F5": the row chooser "Строки".
    void chooseRow();
    // "Таб/F4", or a table code typed that is not the current one: sync,
    // then the table chooser. False when report entry has ended.
    bool chooseTable();
    bool tableCodeTyped(int code);
    // Closing the window (frame or Esc): rows stored here go into the cache.
    void close();

private:
    // Makes a grid row current: its values, colours and, unless controls are
    // off, the entry check with message and markers.
    void show(int row);

    ReportEditor& editor_;
    platform::Interaction& ui_;
    int row_ = 0;
    Values values_{};
    EntryColouring colouring_;
    std::vector<controls::EntryMarker> markers_;
    int stored_ = 0;
    bool reopened_ = false;
};

}  // namespace tavir::entry
