// The window "Параметры печати" over its model: the heading line, "Весь
// отчет" or "Таблицу", "Печатать только заполненные строки" and
// "Продолжить", which closes it and shows the printout in "Просмотр".
//
// Object names: the window "PrintParams", the entry "?HEADING", the options
// "?SCOPE:1" and "?SCOPE:2", the check box "?FILLED", the button "?CONTINUE".
#pragma once

#include "maintenance/report_print.h"
#include "platform/interaction.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QRadioButton;
class QCheckBox;

namespace tavir::ui {

class PrintParamsDialog : public QDialog {
    Q_OBJECT
public:
    PrintParamsDialog(const data::Installation& installation, maintenance::PrintRequest request,
                      platform::Interaction& ui, QWidget* parent = nullptr);

    const maintenance::PrintParamsWindow& model() const { return model_; }
    // The printout "Продолжить" made; none when the window was closed or the
    // reference data did not open (that already shown).
    std::optional<platform::Document>& document() { return document_; }

private:
    void proceed();

    maintenance::PrintParamsWindow model_;
    platform::Interaction& ui_;
    std::optional<platform::Document> document_;
    QLineEdit* heading_;
    QRadioButton* table_;
    QCheckBox* filled_;
};

// The print operation of the entry window and the consolidated report:
// "Параметры печати", then the preview.
void printReport(const data::Installation& installation, maintenance::PrintRequest request,
                 platform::Interaction& ui, QWidget* parent);

}  // namespace tavir::ui
