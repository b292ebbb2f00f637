// Window "СПИСОК УЧРЕЖДЕНИЙ СДАВШИХ ОТЧЕТ": the stored reports of a form over
// a range of periods; a double click or Enter opens a report in report
// entry, "Excel" exports the list, the print button previews its printout.
//
// Objects: "?FORM", "?FOR:COD", "?FOR:NAME", "?MES1", "?MES2", "?OK", the
// list "?BROWSE:1", "?TOTAL", "?PRINT", "?EXCEL".
#pragma once

#include "app/shared_state.h"
#include "platform/desktop_opener.h"
#include "registry/submitted_reports.h"
#include "ui/app/interaction_factory.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace tavir::ui {

class SubmittedReportsView : public QWidget {
    Q_OBJECT
public:
    SubmittedReportsView(const data::Installation& installation, app::SharedState& state,
                         const InteractionFactory& interactions, QWidget* parent = nullptr);

    // Asks for the form; false when none was chosen and the window does not open.
    bool open();
    // What the export opens; tests record it instead.
    void setDesktopOpener(std::unique_ptr<platform::DesktopOpener> opener) { opener_ = std::move(opener); }
    // Report entry for the list's entry `line`, waiting until it ends.
    void openReport(int line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showForm();
    void showList();
    // The typed bounds into the model; false (with "Ошибка") when one is not a period.
    bool takeBounds();

    data::Installation installation_;
    app::SharedState& state_;
    InteractionFactory interactions_;
    std::unique_ptr<platform::Interaction> ui_;
    std::unique_ptr<platform::DesktopOpener> opener_;
    registry::SubmittedReportsWindow model_;
    QLabel* number_;
    QLabel* name_;
    QLabel* periods_;
    QLineEdit* low_;
    QLineEdit* high_;
    QTableWidget* list_;
    QLabel* total_;
};

}  // namespace tavir::ui
