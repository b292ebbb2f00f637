// Window "Свод" over its core model: the consolidated table like a report,
// its tables, the filled rows, controls, printing, the table export and the
// comparison with the year before.
//
// Objects: "?YEAR", "?LOWER", "?UPPER", "?TITLE", "?TABLE", "?TABLENAME",
// "?ROWNAME", the grid "?BROWSE", "?CHOOSETABLE", "?NEXT", "?PREVIOUS",
// "?FILLED", "?CONTROL", "?PRINT", "?EXCEL", "?EXPORT", "?DEVIATION",
// "?THRESHOLD", the legend "?LEGEND".
#pragma once

#include "analysis/consolidation_window.h"
#include "platform/desktop_opener.h"
#include "ui/app/interaction_factory.h"
#include "ui/controls/result_views.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tavir::ui {

class ConsolidationView : public QWidget {
    Q_OBJECT
public:
    ConsolidationView(const data::Installation& installation, app::SharedState& state,
                      const InteractionFactory& interactions, registry::AnalysisRequest request,
                      QWidget* parent = nullptr);

    // Consolidates with a progress display; false when that failed or was
    // stopped and the window does not open.
    bool open();
    analysis::ConsolidationWindow& model() { return *model_; }
    // What the table export opens; tests record it instead.
    void setDesktopOpener(std::unique_ptr<platform::DesktopOpener> opener) { opener_ = std::move(opener); }

private:
    void showTable();
    void showGrid();
    QString cellText(int row, const analysis::ConsolidationColumn& column) const;

    data::Installation installation_;
    std::unique_ptr<platform::Interaction> ui_;
    QtControlViews controlViews_;
    std::unique_ptr<platform::DesktopOpener> opener_;
    std::unique_ptr<analysis::ConsolidationWindow> model_;
    std::unique_ptr<exchange::ConsolidatedExport> export_;
    QLabel* table_;
    QLabel* tableName_;
    QLabel* rowName_;
    QTableWidget* grid_;
    QPushButton* next_;
    QPushButton* previous_;
    QPushButton* control_;
    QCheckBox* filled_;
    QCheckBox* deviation_;
    QDoubleSpinBox* threshold_;
};

}  // namespace tavir::ui
