#include "ui/maintenance/print_params_window.h"

#include "ui/platform/preview_window.h"
#include "ui/platform/qt_text.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavir::ui {

using maintenance::PrintParamsWindow;

PrintParamsDialog::PrintParamsDialog(const data::Installation& installation, maintenance::PrintRequest request,
                                     platform::Interaction& ui, QWidget* parent)
    : QDialog(parent), model_(installation, std::move(request)), ui_(ui) {
    setObjectName("PrintParams");
    setWindowTitle(toQString(PrintParamsWindow::kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(toQString(PrintParamsWindow::kPrompt)));
    heading_ = new QLineEdit(toQString(model_.options().heading));
    heading_->setObjectName("?HEADING");
    heading_->setMaxLength(static_cast<int>(PrintParamsWindow::kHeadingWidth));
    heading_->setMinimumWidth(heading_->fontMetrics().averageCharWidth() * 80);
    layout->addWidget(heading_);

    auto* scope = new QGroupBox(toQString(PrintParamsWindow::kScopeTitle));
    auto* scopeLayout = new QHBoxLayout(scope);
    auto* whole = new QRadioButton(toQString(PrintParamsWindow::kWholeReport));
    whole->setObjectName("?SCOPE:1");
    whole->setChecked(true);
    table_ = new QRadioButton(toQString(PrintParamsWindow::kTableOnly));
    table_->setObjectName("?SCOPE:2");
    scopeLayout->addWidget(whole);
    scopeLayout->addWidget(table_);
    layout->addWidget(scope);

    filled_ = new QCheckBox(toQString(PrintParamsWindow::kFilledOnly));
    filled_->setObjectName("?FILLED");
    layout->addWidget(filled_);

    auto* proceedButton = new QPushButton(toQString(PrintParamsWindow::kProceed));
    proceedButton->setObjectName("?CONTINUE");
    proceedButton->setDefault(true);
    layout->addWidget(proceedButton, 0, Qt::AlignRight);
    connect(proceedButton, &QPushButton::clicked, this, &PrintParamsDialog::proceed);
}

void PrintParamsDialog::proceed() {
    model_.setHeading(toStdString(heading_->text()));
    model_.setScope(table_->isChecked() ? maintenance::PrintScope::Table : maintenance::PrintScope::Report);
    model_.setFilledOnly(filled_->isChecked());
    platform::Document document;
    if (platform::Status st = model_.proceed(document); !st) {
        ui_.message(st.message());
        reject();
        return;
    }
    document_ = std::move(document);
    accept();
}

void printReport(const data::Installation& installation, maintenance::PrintRequest request,
                 platform::Interaction& ui, QWidget* parent) {
    PrintParamsDialog dialog(installation, std::move(request), ui, parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.document()) return;
    showPreview(std::move(*dialog.document()), parent);
}

}  // namespace tavir::ui
