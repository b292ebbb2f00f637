#include "ui/platform/qt_interaction.h"

#include "data/periods.h"
#include "ui/platform/period_window.h"
#include "ui/platform/pick_window.h"
#include "ui/platform/qt_text.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace tavir::ui {

QString messageText(std::string_view text) {
    QStringList lines;
    for (const std::string& line : platform::messageLines(text)) lines << toQString(line);
    return lines.join('\n');
}

namespace {

// A question box whose buttons are numbered from 1 in the order given;
// closing it (frame or Esc) gives 0.
class AskDialog : public QDialog {
public:
    AskDialog(std::string_view text, std::string_view buttons, int safe, QWidget* parent) : QDialog(parent) {
        setObjectName("Ask");
        setWindowTitle(QApplication::applicationDisplayName());
        auto* icon = new QLabel(this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
        auto* label = new QLabel(messageText(text), this);
        label->setObjectName("?TEXT");
        label->setTextFormat(Qt::PlainText);
        auto* top = new QHBoxLayout;
        top->addWidget(icon, 0, Qt::AlignTop);
        top->addWidget(label, 1);
        auto* row = new QHBoxLayout;
        row->addStretch();
        int number = 0;
        for (const std::string& caption : platform::buttonCaptions(buttons)) {
            auto* button = new QPushButton(toQString(caption), this);
            button->setObjectName(QString("?BUTTON%1").arg(++number));
            connect(button, &QPushButton::clicked, this, [this, number] { done(number); });
            if (number == safe) button->setDefault(true);
            buttons_.push_back(button);
            row->addWidget(button);
        }
        row->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(top);
        layout->addLayout(row);
        setMinimumWidth(220);
    }

protected:
    // As in a message box, the access letter pressed alone presses its button.
    void keyPressEvent(QKeyEvent* event) override {
        if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))) {
            for (QPushButton* button : buttons_) {
                const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
                if (!mnemonic.isEmpty() && mnemonic[0].key() == event->key()) {
                    button->click();
                    return;
                }
            }
        }
        QDialog::keyPressEvent(event);
    }

private:
    std::vector<QPushButton*> buttons_;
};

// Progress shown in a QProgressDialog. Updates reach the window at most every
// 50 ms, since each one lets the program process its pending events.
class QtProgress : public platform::Progress {
public:
    QtProgress(QWidget* parent, const QString& caption) : dialog_(new QProgressDialog(parent)) {
        dialog_->setObjectName("Progress");
        dialog_->setWindowTitle(caption);
        dialog_->setCancelButtonText("Прервать");
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumDuration(500);
        dialog_->setRange(0, 0);
        clock_.start();
    }
    ~QtProgress() override { delete dialog_.data(); }

    void update(int64_t done, int64_t total, std::string_view text) override {
        if (!dialog_ || (clock_.elapsed() < 50 && done < total)) return;
        // QProgressDialog counts in int.
        const int64_t scale = total > INT_MAX ? total / INT_MAX + 1 : 1;
        dialog_->setMaximum(static_cast<int>(std::max<int64_t>(total, 0) / scale));
        dialog_->setLabelText(toQString(text));
        dialog_->setValue(static_cast<int>(std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 0)) / scale));
        QCoreApplication::processEvents();
        clock_.restart();
    }

    bool cancelled() override {
        if (!dialog_) return true;
        if (clock_.elapsed() >= 50) {
            QCoreApplication::processEvents();
            clock_.restart();
        }
        return dialog_->wasCanceled();
    }

private:
    QPointer<QProgressDialog> dialog_;  // its parent window may close first
    QElapsedTimer clock_;
};

}  // namespace

void showMessageBox(QWidget* parent, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), messageText(text),
                    QMessageBox::NoButton, parent);
    box.setObjectName("Message");
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton("ОК", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

QtInteraction::QtInteraction(QWidget* parent, WindowPositions positions)
    : parent_(parent), positions_(std::move(positions)) {}

void QtInteraction::message(std::string_view text) { showMessageBox(parent_, text); }

int QtInteraction::ask(std::string_view text, std::string_view buttons, int safe) {
    AskDialog dialog(text, buttons, safe, parent_);
    return dialog.exec();
}

void QtInteraction::beep() { QApplication::beep(); }

std::optional<int> QtInteraction::pick(const platform::PickRequest& request) {
    PickWindow window(request, positions_, parent_);
    window.exec();
    return window.chosen();
}

int64_t QtInteraction::period(const platform::PeriodRequest& request) {
    const std::optional<data::PeriodType> type = data::periodTypeFromCode(request.periodType);
    if (!type || *type == data::PeriodType::Annual) return 0;
    PeriodWindow window(*type, request.initial, positions_, parent_, toQString(request.form));
    window.exec();
    return window.code();
}

std::optional<std::string> QtInteraction::enterText(std::string_view caption, std::string_view prompt,
                                                    std::string_view initial) {
    QInputDialog dialog(parent_);
    dialog.setObjectName("EnterText");
    dialog.setWindowTitle(toQString(caption));
    dialog.setLabelText(toQString(prompt));
    dialog.setTextValue(toQString(initial));
    dialog.setOkButtonText("Продолжить");
    dialog.setCancelButtonText("Отмена");
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toStdString(dialog.textValue());
}

std::unique_ptr<platform::Progress> QtInteraction::progress(std::string_view caption) {
    return std::make_unique<QtProgress>(parent_, toQString(caption));
}

}  // namespace tavir::ui
