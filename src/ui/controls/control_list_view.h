// Window "Список  контролей": the rules of one form as formulas on three
// tabs, "Форма" for another form, and the printout with its dialog
// "Параметры печати".
//
// Objects: "?FORM", "?FOR:UNICOD", "?FOR:NAME", the sheet "?SHEET" with the
// lists "?BROWSE:1" (По графам), "?BROWSE:2" (По строкам), "?BROWSE:3"
// (Межтабличный), "?PRINT". The dialog: "?CHECK1" to "?CHECK3", "?CONTINUE".
#pragma once

#include "app/shared_state.h"
#include "controls/control_list.h"
#include "ui/app/interaction_factory.h"

#include <QDialog>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QTableWidget;

namespace tavir::ui {

class PrintKindsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintKindsDialog(QWidget* parent = nullptr);
    controls::PrintKinds kinds() const;

private:
    QCheckBox* columns_;
    QCheckBox* rows_;
    QCheckBox* tables_;
};

class ControlListView : public QWidget {
    Q_OBJECT
public:
    ControlListView(const data::Installation& installation, const app::SharedState& state,
                    const InteractionFactory& interactions, QWidget* parent = nullptr);

    // Asks for the form; false when none was chosen and the window does not open.
    bool open();

private:
    void showLists();

    data::Installation installation_;
    std::unique_ptr<platform::Interaction> ui_;
    controls::ControlListWindow model_;
    QLabel* code_;
    QLabel* name_;
    QTableWidget* columns_;
    QTableWidget* rows_;
    QTableWidget* tables_;
};

}  // namespace tavir::ui
