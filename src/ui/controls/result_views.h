// The result windows of the control runs ("Список", "Внутриформенные
// контроли", "Межформенные контроли") over their core models, and the
// control-views port that opens the first two for any procedure.
#pragma once

#include "controls/interform_run.h"
#include "controls/views.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace tavir::ui {

// Objects: "?GLOBYEAR", the list "?BROWSE:1", the text "?TEXT", "?PRINT".
class ErrorListDialog : public QDialog {
    Q_OBJECT
public:
    ErrorListDialog(controls::ErrorListWindow& model, QWidget* parent = nullptr);

private:
    controls::ErrorListWindow& model_;
    QTableWidget* list_;
    QPlainTextEdit* text_;
};

// Objects: "?REG:NAME", "?BOL:NAZV", the list "?BROWSE:1", "?TEXT", "?NAME",
// "?PRINT", "?CLOSE".
class RunResultsDialog : public QDialog {
    Q_OBJECT
public:
    RunResultsDialog(controls::RunResultsWindow& model, QWidget* parent = nullptr);

private:
    controls::RunResultsWindow& model_;
    QTableWidget* list_;
    QPlainTextEdit* text_;
    QLineEdit* name_;
};

// Objects: "?FORMULA", "?NAME", the list "?BROWSE:1", "?TEXT", "?PRINT", "?CLOSE".
class InterformResultsDialog : public QDialog {
    Q_OBJECT
public:
    InterformResultsDialog(controls::InterformResultsWindow& model, QWidget* parent = nullptr);

private:
    controls::InterformResultsWindow& model_;
    QTableWidget* list_;
    QPlainTextEdit* text_;
};

// Opens the result windows as modal dialogs over `parent`.
class QtControlViews : public controls::ControlViews {
public:
    explicit QtControlViews(QWidget* parent) : parent_(parent) {}
    void showErrorList(controls::ErrorListWindow& window) override;
    void showRunResults(controls::RunResultsWindow& window) override;

private:
    QWidget* parent_;
};

// A read-only list with the given column titles, one line selected at a time.
QTableWidget* makeList(QWidget* parent, const QString& name, const QStringList& titles);
// Sets a line of the list (adding it when needed).
void setLine(QTableWidget* list, int line, const QStringList& cells);
// After the lines are set: each column but the last as wide as its texts, at
// most 40 characters; the last takes the rest.
void fitColumns(QTableWidget* list);

}  // namespace tavir::ui
