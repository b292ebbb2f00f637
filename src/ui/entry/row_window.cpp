#include "ui/entry/row_window.h"

#include "platform/picture.h"
#include "platform/text.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QFocusEvent>

namespace tavir::ui {

namespace {

// Value indexes 1 to 13 stand in the left block, 14 to 25 in the right one.
constexpr int kLeftBlock = 13;

const QColor kComputed(204, 255, 153);
const QColor kLocked(192, 192, 192);

QString trimmed(std::string_view text) { return toQString(platform::trimRight(text)); }

bool isForward(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down; }

}  // namespace

RowWindow::RowWindow(entry::ReportEditor& editor, platform::Interaction& ui, int row, QWidget* parent)
    : QDialog(parent),
      editor_(editor),
      ui_(ui),
      model_(editor, ui, row),
      table_(new QLineEdit(this)),
      code_(new QLineEdit(this)),
      sex_(new QLineEdit(this)),
      tableName_(new QLineEdit(this)),
      rowName_(new QLineEdit(this)),
      rows_(new QPushButton("Стр/F5", this)),
      ok_(new QPushButton("F2-сохранить", this)),
      tables_(new QPushButton("Таб/F4", this)) {
    setObjectName("ВВОД  ДАННЫХ");
    const int charWidth = fontMetrics().averageCharWidth();

    table_->setObjectName("?LOCCODTABL");
    table_->setMaxLength(5);
    table_->setValidator(new QIntValidator(0, 99999, table_));
    table_->setFixedWidth(charWidth * 7 + 10);
    code_->setObjectName("?QT:CODSTR");
    code_->setMaxLength(9);
    code_->setFixedWidth(charWidth * 11 + 10);
    sex_->setObjectName("?QTTTPOL");
    tableName_->setObjectName("?QST:NAME");
    rowName_->setObjectName("?QTSS");
    for (QLineEdit* display : {sex_, tableName_, rowName_}) {
        display->setReadOnly(true);
        display->setFocusPolicy(Qt::NoFocus);
    }
    table_->installEventFilter(this);
    code_->installEventFilter(this);

    rows_->setObjectName("?BUTTONSTR");
    ok_->setObjectName("?BUTTONOK");
    tables_->setObjectName("?BUTTONTAB");
    for (QPushButton* b : {rows_, ok_, tables_}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(rows_, &QPushButton::clicked, this, [this] { chooseRow(); });
    connect(ok_, &QPushButton::clicked, this, [this] { store(); });
    // "Таб/F4" reacts to the mouse only: F4 does nothing in this window.
    connect(tables_, &QPushButton::clicked, this, [this] { chooseTable(); });

    auto* values = new QGridLayout;
    for (int i = 0; i < entry::kValueCount; ++i) {
        ValueEntry& e = entries_[i];
        e.number = new QLabel(this);
        e.number->setObjectName(QString("?GRN_%1").arg(i + 1));
        e.number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        e.edit = new QLineEdit(this);
        e.edit->setObjectName(QString("?QT:DATA%1").arg(i + 1));
        e.edit->setAlignment(Qt::AlignRight);
        e.edit->setValidator(numberValidator(e.edit));
        e.edit->installEventFilter(this);
        e.marker = new QLabel(this);
        e.marker->setObjectName(QString("?MARK_%1").arg(i + 1));
        e.marker->setStyleSheet("color: red");
        e.heading = new QLabel(this);
        e.heading->setObjectName(QString("?GR_%1").arg(i + 1));
        const int line = i < kLeftBlock ? i : i - kLeftBlock;
        const int column = i < kLeftBlock ? 0 : 4;
        values->addWidget(e.number, line, column);
        values->addWidget(e.edit, line, column + 1);
        values->addWidget(e.marker, line, column + 2);
        values->addWidget(e.heading, line, column + 3);
    }
    QWidget* previous = code_;
    setTabOrder(table_, code_);
    for (ValueEntry& e : entries_) {
        setTabOrder(previous, e.edit);
        previous = e.edit;
    }

    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel("Таблица", this));
    head->addWidget(table_);
    head->addWidget(tableName_, 1);
    auto* rowLine = new QHBoxLayout;
    rowLine->addWidget(new QLabel("Строка", this));
    rowLine->addWidget(code_);
    rowLine->addWidget(rowName_, 1);
    rowLine->addWidget(sex_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(rows_);
    buttons->addWidget(ok_);
    buttons->addWidget(tables_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(rowLine);
    layout->addLayout(values);
    layout->addStretch();
    layout->addLayout(buttons);

    refresh();
    code_->setFocus();
}

int RowWindow::valueCount() const { return std::min(editor_.currentTable().A, entry::kValueCount); }

void RowWindow::refresh() {
    setWindowTitle(toQString(model_.caption()));
    table_->setText(QString::number(editor_.currentTable().CODTABL));
    tableName_->setText(toQString(platform::cutToWidth(platform::trimRight(editor_.currentTable().NAME), 120)));
    code_->setText(trimmed(model_.current().CODSTR));
    rowName_->setText(toQString(platform::cutToWidth(platform::trimRight(model_.current().S), 100)));
    // Long names show their start, and in full as a tip.
    for (QLineEdit* name : {tableName_, rowName_}) {
        name->setCursorPosition(0);
        name->setToolTip(name->text());
    }
    sex_->setText(trimmed(model_.current().POL));
    const int count = valueCount();
    for (int i = 0; i < entry::kValueCount; ++i) {
        ValueEntry& e = entries_[i];
        const bool shown = i < count;
        for (QWidget* w : std::initializer_list<QWidget*>{e.number, e.edit, e.marker, e.heading}) w->setVisible(shown);
        e.marker->clear();
        if (!shown) continue;
        const entry::ColumnAttr& column = editor_.columns()[i];
        e.number->setText(column.COD ? QString::number(column.COD) : QString());
        e.heading->setText(toQString(platform::cutToWidth(platform::trimRight(column.NAME), 100)));
        e.edit->setFixedWidth(fontMetrics().averageCharWidth() * (column.picture.width + 2) + 10);
        e.edit->setText(toQString(platform::formatPicture(column.picture, model_.values()[i])).trimmed());
        const bool locked = model_.colouring().locked[i];
        QPalette palette = e.edit->palette();
        palette.setColor(QPalette::Base, locked ? kLocked : model_.colouring().computed[i] ? kComputed : QColor(Qt::white));
        e.edit->setPalette(palette);
        // A locked entry is skipped by Tab and Enter; the mouse still reaches it.
        e.edit->setFocusPolicy(locked ? Qt::ClickFocus : Qt::StrongFocus);
    }
    for (const controls::EntryMarker& m : model_.markers()) {
        if (m.valueIndex < 1 || m.valueIndex > count) continue;
        QLabel* marker = entries_[m.valueIndex - 1].marker;
        marker->setText(marker->text() + toQString(m.text));
    }
}

bool RowWindow::takeValue(int index) {
    QLineEdit* edit = entries_[index].edit;
    auto value = editor_.readTyped(index + 1, toStdString(edit->text()));
    if (!value) {
        // The typed text stays for the user to correct.
        edit->setFocus();
        return false;
    }
    model_.values()[index] = *value;
    edit->setText(toQString(platform::formatPicture(editor_.columns()[index].picture, *value)).trimmed());
    return true;
}

bool RowWindow::takeFocusedValue() {
    for (int i = 0; i < valueCount(); ++i) {
        if (focusWidget() == entries_[i].edit) return takeValue(i);
    }
    return true;
}

void RowWindow::store() {
    if (storing_) return;
    storing_ = true;
    if (!takeFocusedValue()) {
        storing_ = false;
        return;
    }
    model_.store();
    refresh();
    code_->setFocus();
    code_->selectAll();
    storing_ = false;
}

bool RowWindow::rowCodeChanged() const {
    return platform::trimRight(toStdString(code_->text())) != platform::trimRight(model_.current().CODSTR);
}

bool RowWindow::tableCodeChanged() const { return table_->text().toInt() != editor_.currentTable().CODTABL; }

bool RowWindow::takeRowCode() {
    const std::string typed(platform::trimRight(toStdString(code_->text())));
    model_.rowCodeTyped(typed);
    refresh();
    return typed == platform::trimRight(model_.current().CODSTR);
}

void RowWindow::rowCode() {
    if (!rowCodeChanged() || takeRowCode()) {
        moveNext(code_);
    } else {
        code_->setFocus();
    }
}

void RowWindow::tableCode() {
    if (!tableCodeChanged()) {
        moveNext(table_);
        return;
    }
    if (!model_.tableCodeTyped(table_->text().toInt()) && closeIfEnded()) return;
    refresh();
    code_->setFocus();
}

void RowWindow::leftByMouse(QLineEdit* field) {
    // Acted on once the click has moved the focus; the row or table shown
    // then is the one the values typed next belong to.
    QTimer::singleShot(0, this, [this, field] {
        if (field == code_ && rowCodeChanged()) {
            takeRowCode();
        } else if (field == table_ && tableCodeChanged()) {
            if (!model_.tableCodeTyped(table_->text().toInt()) && closeIfEnded()) return;
            refresh();
        } else {
            return;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(focusWidget())) edit->selectAll();
    });
}

void RowWindow::chooseRow() {
    model_.chooseRow();
    refresh();
    code_->setFocus();
}

void RowWindow::chooseTable() {
    if (!model_.chooseTable() && closeIfEnded()) return;
    refresh();
    code_->setFocus();
}

bool RowWindow::closeIfEnded() {
    if (!editor_.ended()) return false;
    QDialog::reject();
    return true;
}

void RowWindow::moveNext(QWidget* from) {
    from->setFocus();
    focusNextChild();
}

void RowWindow::movePrevious(int index) {
    for (int i = index - 1; i >= 0; --i) {
        QLineEdit* edit = entries_[i].edit;
        if (edit->isVisible() && edit->focusPolicy() == Qt::StrongFocus) {
            edit->setFocus();
            return;
        }
    }
    code_->setFocus();
}

void RowWindow::keyPressEvent(QKeyEvent* event) {
    // The entries leave F2 and F5 to the window.
    if (event->key() == Qt::Key_F2) {
        store();
    } else if (event->key() == Qt::Key_F5) {
        chooseRow();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void RowWindow::reject() {
    model_.close();
    QDialog::reject();
}

int RowWindow::lastReachable() const {
    for (int i = valueCount() - 1; i >= 0; --i) {
        if (entries_[i].edit->focusPolicy() == Qt::StrongFocus) return i;
    }
    return -1;
}

bool RowWindow::eventFilter(QObject* watched, QEvent* event) {
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    // Every way of arriving in a field selects its content, so what is typed
    // replaces the value; a click places the cursor after the focus arrives.
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            edit->selectAll();
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
            }
        }
    }
    const bool leftByMouseClick =
        event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
    if (watched == code_ || watched == table_) {
        auto* field = static_cast<QLineEdit*>(watched);
        // Enter, Down and Tab act on the typed code and move on; a click
        // elsewhere acts on it too.
        if (isForward(key) || key == Qt::Key_Tab) {
            if (field == code_) {
                rowCode();
            } else {
                tableCode();
            }
            return true;
        }
        if (key == Qt::Key_Backtab && field == code_) {
            if (!rowCodeChanged() || takeRowCode()) table_->setFocus(Qt::BacktabFocusReason);
            return true;
        }
        if (leftByMouseClick) leftByMouse(field);
        return QDialog::eventFilter(watched, event);
    }
    for (int i = 0; i < valueCount(); ++i) {
        if (watched != entries_[i].edit) continue;
        if (isForward(key) || key == Qt::Key_Tab) {
            // Leaving the last value column forward stores the row.
            if (i >= lastReachable()) {
                store();
            } else if (takeValue(i)) {
                moveNext(entries_[i].edit);
            }
            return true;
        }
        if (key == Qt::Key_Up) {
            if (takeValue(i)) movePrevious(i);
            return true;
        }
        // Leaving the entry by the keyboard or the mouse takes its value;
        // focus taken by a message or another window leaves it as typed.
        if (event->type() == QEvent::FocusOut && !storing_) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) takeValue(i);
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavir::ui
