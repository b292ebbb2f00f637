// Window "Список межформенных контролей": the rules of SpisMF.TXT, the scope
// and "Контроль"; the violators open in "Межформенные контроли".
//
// Objects: the list "?BROWSE:1", "?PROMPT", "?FORMULA", the scopes
// "?OPTION1:1" to "?OPTION1:5", "?CONTROL", "?CLOSE".
#pragma once

#include "app/shared_state.h"
#include "controls/interform_run.h"
#include "ui/app/interaction_factory.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QPlainTextEdit;
class QTableWidget;

namespace tavir::ui {

class InterformView : public QWidget {
    Q_OBJECT
public:
    InterformView(const data::Installation& installation, const app::SharedState& state,
                  const InteractionFactory& interactions, QWidget* parent = nullptr);

    // Reads the rule list; the window opens also when the list file is missing.
    void open();

private:
    data::Installation installation_;
    std::unique_ptr<platform::Interaction> ui_;
    controls::InterformListWindow model_;
    QTableWidget* list_;
    QPlainTextEdit* formula_;
    QButtonGroup* scope_;
};

}  // namespace tavir::ui
