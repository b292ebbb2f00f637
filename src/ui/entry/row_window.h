// The row window "ВВОД  ДАННЫХ" over the row entry model: one entry per value
// column in two blocks, walked from the keyboard (Enter and Down as Tab, Up
// back, F2 stores, F5 the row chooser).
#pragma once

#include "entry/row_entry.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavir::ui {

class RowWindow : public QDialog {
    Q_OBJECT
public:
    RowWindow(entry::ReportEditor& editor, platform::Interaction& ui, int row, QWidget* parent = nullptr);

    entry::RowEntry& model() { return model_; }

    // Frame button and Esc: rows stored here go into the report cache.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct ValueEntry {
        QLabel* number = nullptr;   // printed column number
        QLineEdit* edit = nullptr;  // ?QT:DATAi
        QLabel* marker = nullptr;   // the entry check's mark
        QLabel* heading = nullptr;  // ?GR_i
    };

    // Shows the model's row: values, colours, locks, markers.
    void refresh();
    // The text of entry `index` (0-based) into the row's values. A text the
    // column cannot hold is told by the model and stays in the focused
    // entry: false.
    bool takeValue(int index);
    bool takeFocusedValue();
    void store();
    bool rowCodeChanged() const;
    bool tableCodeChanged() const;
    // Acts on the typed row code; true when a row with that code is shown.
    bool takeRowCode();
    // Enter, Down or Tab in the row or table code field.
    void rowCode();
    void tableCode();
    // The row or table code field left by a click elsewhere.
    void leftByMouse(QLineEdit* field);
    // The last value entry Tab reaches.
    int lastReachable() const;
    void chooseRow();
    void chooseTable();
    // Enter and Down: the next reachable field; Up: the previous value entry
    // or, from the first, the row code.
    void moveNext(QWidget* from);
    void movePrevious(int index);
    int valueCount() const;
    // Closes the window when report entry ended under it.
    bool closeIfEnded();

    entry::ReportEditor& editor_;
    platform::Interaction& ui_;
    entry::RowEntry model_;
    QLineEdit* table_;
    QLineEdit* code_;
    QLineEdit* sex_;
    QLineEdit* tableName_;
    QLineEdit* rowName_;
    QPushButton* rows_;
    QPushButton* ok_;
    QPushButton* tables_;
    std::array<ValueEntry, entry::kValueCount> entries_;
    bool storing_ = false;
};

}  // namespace tavir::ui
