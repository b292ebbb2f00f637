// The windows of report export over its model: the path and period window
// "Выгрузка отчетов ", then the form window "Выгрузка отчетов на дискету"
// with the form list, "Выгрузить" and the result list.
#pragma once

#include "exchange/report_export.h"
#include "ui/app/interaction_factory.h"
#include "ui/controls/result_views.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTableWidget;

namespace tavir::ui {

class ReportExportWindow : public QWidget {
    Q_OBJECT
public:
    ReportExportWindow(const data::Installation& installation, app::SharedState& state,
                       const InteractionFactory& interactions, QWidget* parent = nullptr);

    // Resolves the subject and the paths; false (the failure already shown)
    // when the window cannot open.
    bool open();
    exchange::ReportExport& model() { return *model_; }

private:
    void proceed();
    void exportMarked();
    void showForms();
    void showResults();

    data::Installation installation_;
    std::unique_ptr<platform::Interaction> ui_;
    QtControlViews controlViews_;
    std::unique_ptr<exchange::ReportExport> model_;
    QStackedWidget* pages_;
    QComboBox* path_;
    QButtonGroup* month_;
    QButtonGroup* quarter_;
    QButtonGroup* half_;
    QCheckBox* annual_;
    QTableWidget* forms_;
    QCheckBox* markAll_;
    QLabel* formsPath_;
    QLabel* district_;
    QLabel* facility_;
    QLabel* facilityCode_;
    QTableWidget* results_;
    QLabel* total_;
    QLabel* text_;
};

}  // namespace tavir::ui
