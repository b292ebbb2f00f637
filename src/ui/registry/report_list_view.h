// Window "Список отчетов" over its core model: the stored reports of a
// form, the district and kind filters, marks, search and the buttons of the
// analyses.
//
// Objects: "?FORM", "?GLOBYEAR", "?PERIOD1", "?PERIOD2", "?OK", the list
// "?BROWSE", "?QSR:NAME", "?QSV:NAME", "?TOWN", "?VILLAGE", "?SWITCH",
// "?MARKALL", "?RESET", "?COUNT", "?MARKED", "?CODE", "?FINDCODE", "?NAME",
// "?FINDNAME", "?SVOD", "?KONSTR", "?POKAS", "?POLNOTA", "?HELP".
#pragma once

#include "app/shared_state.h"
#include "registry/report_list.h"
#include "ui/app/interaction_factory.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tavir::ui {

class ReportListView : public QWidget {
    Q_OBJECT
public:
    ReportListView(const data::Installation& installation, app::SharedState& state,
                   const InteractionFactory& interactions, QWidget* parent = nullptr);

    // The year check, the form and the list; false when no form was chosen
    // and the window does not open.
    bool open();
    registry::ReportListWindow& model() { return *model_; }

private:
    // Everything the window shows, from the model.
    void showAll();
    void showForm();
    void showList();
    void showCounts();
    void showFilters();
    void changeForm();
    void build();
    void select(std::optional<int> line);
    void consolidate();

    data::Installation installation_;
    app::SharedState& state_;
    InteractionFactory interactions_;
    std::unique_ptr<platform::Interaction> ui_;
    std::unique_ptr<registry::ReportListWindow> model_;
    QLineEdit* year_;
    QLabel* periodLabel_;
    QLineEdit* lower_;
    QLineEdit* upper_;
    QTableWidget* list_;
    QComboBox* districts_;
    QComboBox* kinds_;
    QCheckBox* town_;
    QCheckBox* village_;
    QCheckBox* switch_;
    QLabel* count_;
    QLabel* marked_;
    QLineEdit* code_;
    QLineEdit* name_;
    // While the window itself sets the filters, their signals change nothing.
    bool showing_ = false;
};

}  // namespace tavir::ui
