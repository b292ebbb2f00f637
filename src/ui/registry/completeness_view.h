// Window "Полнота отчета ": the month range (dates with "ежедневные
// отчеты"), "по районам" or "по ЛПУ", the run button and the table of counts,
// its printout through the preview and its export.
//
// Objects: "?GLOBYEAR", "?MES1", "?MES2", "?DAILY", the options "?OPTION1:1"
// (по районам) and "?OPTION1:2" (по ЛПУ), "?RUN", the table "?BROWSE:1",
// "?ROWS", "?PRINT", "?EXCEL", "?HELP".
#pragma once

#include "app/shared_state.h"
#include "platform/desktop_opener.h"
#include "registry/completeness.h"
#include "ui/app/interaction_factory.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace tavir::ui {

class CompletenessView : public QWidget {
    Q_OBJECT
public:
    CompletenessView(const data::Installation& installation, app::SharedState& state,
                     const InteractionFactory& interactions, QWidget* parent = nullptr);

    // What the export opens; tests record it instead.
    void setDesktopOpener(std::unique_ptr<platform::DesktopOpener> opener) { opener_ = std::move(opener); }

private:
    void showBounds();
    void showTable();
    // The typed bounds into the model; false (with "Ошибка") when one cannot be read.
    bool takeBounds();

    data::Installation installation_;
    std::unique_ptr<platform::Interaction> ui_;
    std::unique_ptr<platform::DesktopOpener> opener_;
    registry::CompletenessWindow model_;
    QLineEdit* year_;
    QLineEdit* low_;
    QLineEdit* high_;
    QCheckBox* daily_;
    QButtonGroup* by_;
    QTableWidget* table_;
    QLabel* rows_;
};

}  // namespace tavir::ui
