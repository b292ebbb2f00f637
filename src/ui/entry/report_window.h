// The entry window of one report over the editing model: the grid of the
// current table with its row and column modes, and the buttons of the
// report. Every action is the model's; the window shows its state.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "entry/report_editor.h"
#include "platform/desktop_opener.h"
#include "ui/app/interaction_factory.h"
#include "ui/controls/result_views.h"

#include <QWidget>

#include <memory>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tavir::ui {

class ReportGridModel;
class RowWindow;

class ReportWindow : public QWidget {
    Q_OBJECT
public:
    // Without `report` the report is chosen interactively when the window
    // opens. A report with `given` set is the given-report mode, whose
    // deletion sets `*callerDistrict` to 0.
    ReportWindow(const data::Installation& installation, app::SharedState& state,
                 const InteractionFactory& interactions, std::optional<entry::ChosenReport> report = std::nullopt,
                 int* callerDistrict = nullptr, QWidget* parent = nullptr);
    ~ReportWindow() override;

    // Chooses (interactive mode) and loads the report; false when report
    // entry ended on the way (nothing chosen, busy report left, no rows).
    bool open();

    entry::ReportEditor& editor() { return *editor_; }
    // What the table export opens; tests record it instead.
    void setDesktopOpener(std::unique_ptr<platform::DesktopOpener> opener) { opener_ = std::move(opener); }
    // The row window while it is open, else null.
    RowWindow* rowWindow() const { return rowWindow_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Opens within the space the window may use.
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* button(const char* name, const QString& text, const QString& tip, void (ReportWindow::*action)());
    // After every action: the window closes when entry has ended, else it
    // shows the model anew; a new table or report rebuilds the grid's columns.
    void afterAction();
    void rebuildGrid();
    // The name column takes the width the grid has to spare, never less
    // than its own.
    void fitNameColumn();
    // The frozen descriptive columns of column mode, laid over the grid.
    void updateFrozen();
    // A value cell made current is scrolled out from under them.
    void keepClearOfFrozen(const QModelIndex& current);
    // The tavir.INI section of the current table's column widths.
    QString gridKey() const;
    void refresh();
    void showCurrentRow();
    void setColumnMode(bool on);
    void openRowWindow(int row);
    // The in-place editor moves down one row (Enter and Down); on the last
    // row the grid takes the focus back.
    void editNextRow();

    void otherFacility();
    void otherForm();
    void saveTable();
    void chooseTable();
    void nextTable();
    void previousTable();
    void deleteReport();
    void carryOver();
    void saveReport();
    void runControls();
    void print();
    void exportTable();
    void showHelp();
    void clearTable();
    void calculate();
    void emptyReport();

    const data::Installation& installation_;
    app::SharedState& state_;
    InteractionFactory interactions_;
    // The error list of "Контроль".
    QtControlViews controlViews_;
    std::unique_ptr<platform::Interaction> ui_;
    std::optional<entry::ChosenReport> given_;
    int* callerDistrict_;
    std::unique_ptr<platform::DesktopOpener> opener_;
    std::unique_ptr<entry::ReportEditor> editor_;
    // What the grid's columns were built for: the table of the report.
    int shownForm_ = -1;
    int shownTable_ = -1;
    int nameMinimum_ = 0;
    bool layingOut_ = false;  // widths set by the window, not dragged

    ReportGridModel* gridModel_;
    QTableView* grid_;
    QTableView* frozen_ = nullptr;
    QLabel* formText_;
    QLabel* tableText_;
    QLineEdit* rowName_;
    QLineEdit* rowSex_;
    QLineEdit* formNumber_;
    QLineEdit* periodWord_;
    QLineEdit* periodCode_;
    QLineEdit* periodName_;
    QLineEdit* facility_;
    QLineEdit* year_;
    QPushButton* lpu_;
    QPushButton* newForm_;
    QCheckBox* byColumns_;
    QCheckBox* controlsOff_;
    QPushButton* down_;
    QPushButton* up_;
    QPushButton* carry_;
    RowWindow* rowWindow_ = nullptr;
};

}  // namespace tavir::ui
