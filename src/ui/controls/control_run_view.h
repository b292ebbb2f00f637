// Window "Список внутриформенные контроли": forms to mark, the month range,
// the run scope and "Контроль"; the results open in their own window.
//
// Objects: "?GLOBYEAR", the form list "?BROWSE:1" (its first column the mark),
// "?MES1", "?MES2", the scopes "?OPTION1:1" to "?OPTION1:5", "?ONEREG",
// "?MARKALL", "?UNMARK", "?CONTROL", "?CLOSE".
#pragma once

#include "app/shared_state.h"
#include "controls/control_run.h"
#include "ui/app/interaction_factory.h"
#include "ui/controls/result_views.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QSpinBox;
class QTableWidget;

namespace tavir::ui {

class ControlRunView : public QWidget {
    Q_OBJECT
public:
    ControlRunView(const data::Installation& installation, const app::SharedState& state,
                   const InteractionFactory& interactions, QWidget* parent = nullptr);

    // Fills the form list; false when the window cannot open.
    bool open();

private:
    void showForms();

    data::Installation installation_;
    std::unique_ptr<platform::Interaction> ui_;
    QtControlViews views_;
    controls::ControlRunWindow model_;
    QTableWidget* forms_;
    QSpinBox* lower_;
    QSpinBox* upper_;
    QButtonGroup* scope_;
    QCheckBox* oneDistrict_;
    bool filling_ = false;
};

}  // namespace tavir::ui
