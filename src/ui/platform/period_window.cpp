#include "ui/platform/period_window.h"

#include "data/period_entry.h"
#include "ui/platform/qt_interaction.h"
#include "ui/platform/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavir::ui {

PeriodWindow::PeriodWindow(data::PeriodType type, int64_t initial, WindowPositions positions, QWidget* parent,
                           const QString& form)
    : QDialog(parent), type_(type), entry_(new QLineEdit(this)), positions_(std::move(positions)) {
    setObjectName("Period");
    setWindowTitle("Период");

    auto* word = new QLabel(toQString(data::periodWord(type)), this);
    word->setObjectName("?WORD");
    entry_->setObjectName("?MES");
    entry_->setText(toQString(data::periodEntryText(type, initial)));
    entry_->setMaxLength(type == data::PeriodType::Daily ? 10 : 11);
    entry_->setMinimumWidth(entry_->fontMetrics().averageCharWidth() * 12);
    entry_->selectAll();
    word->setBuddy(entry_);

    auto* proceedButton = new QPushButton("Продолжить", this);
    proceedButton->setObjectName("?CONTINUE");
    proceedButton->setDefault(true);
    connect(proceedButton, &QPushButton::clicked, this, &PeriodWindow::proceed);

    auto* row = new QHBoxLayout;
    row->addWidget(word);
    row->addWidget(entry_, 1);
    auto* layout = new QVBoxLayout(this);
    if (!form.isEmpty()) {
        auto* forForm = new QLabel(form, this);
        forForm->setObjectName("?FORM");
        forForm->setWordWrap(true);
        layout->addWidget(forForm);
    }
    layout->addLayout(row);
    layout->addWidget(proceedButton, 0, Qt::AlignRight);
    setSizeGripEnabled(false);
    positions_.restore(*this, objectName());
    // The kept size stays; the window opens centred over its caller.
    if (parentWidget()) setAttribute(Qt::WA_Moved, false);
    entry_->setFocus();
}

void PeriodWindow::proceed() {
    const data::PeriodChoice choice = data::readPeriod(type_, toStdString(entry_->text()));
    if (!choice.accepted()) {
        showMessageBox(this, choice.error);
        entry_->selectAll();
        entry_->setFocus();
        return;
    }
    code_ = choice.code;
    accept();
}

void PeriodWindow::done(int result) {
    positions_.save(*this, objectName());
    QDialog::done(result);
}

}  // namespace tavir::ui
