#include "ui/entry/row_window.h"

#include "platform/picture.h"
#include "platform/text.h"
#include "ui/platform/qt_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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
        e.edit->setMaxLength(column.picture.width + 2);
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

void RowWindow::takeValue(int index) {
    QLineEdit* edit = entries_[index].edit;
    const platform::Picture& picture = editor_.columns()[index].picture;
    if (auto value = platform::parsePictureInput(picture, toStdString(edit->text()))) {
        model_.values()[index] = *value;
    } else {
        ui_.beep();
    }
    edit->setText(toQString(platform::formatPicture(picture, model_.values()[index])).trimmed());
}

void RowWindow::takeFocusedValue() {
    for (int i = 0; i < valueCount(); ++i) {
        if (focusWidget() == entries_[i].edit) takeValue(i);
    }
}

void RowWindow::store() {
    if (storing_) return;
    storing_ = true;
    takeFocusedValue();
    model_.store();
    refresh();
    code_->setFocus();
    code_->selectAll();
    storing_ = false;
}

void RowWindow::rowCode() {
    const std::string typed(platform::trimRight(toStdString(code_->text())));
    if (typed == platform::trimRight(model_.current().CODSTR)) {
        moveNext(code_);
        return;
    }
    model_.rowCodeTyped(typed);
    const bool found = typed == platform::trimRight(model_.current().CODSTR);
    refresh();
    if (found) {
        moveNext(code_);
    } else {
        code_->setFocus();
    }
}

void RowWindow::tableCode() {
    const int code = table_->text().toInt();
    if (code == editor_.currentTable().CODTABL) {
        moveNext(table_);
        return;
    }
    if (!model_.tableCodeTyped(code) && closeIfEnded()) return;
    refresh();
    code_->setFocus();
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

bool RowWindow::eventFilter(QObject* watched, QEvent* event) {
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    if (watched == code_) {
        if (isForward(key)) {
            rowCode();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched == table_) {
        if (isForward(key)) {
            tableCode();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    for (int i = 0; i < valueCount(); ++i) {
        if (watched != entries_[i].edit) continue;
        if (isForward(key)) {
            moveNext(entries_[i].edit);
            return true;
        }
        if (key == Qt::Key_Up) {
            takeValue(i);
            movePrevious(i);
            return true;
        }
        if (event->type() == QEvent::FocusOut && !storing_) takeValue(i);
        // Arriving in the last value column stores the row.
        if (event->type() == QEvent::FocusIn && i == valueCount() - 1 && !storing_) {
            QTimer::singleShot(0, this, [this] { store(); });
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavir::ui
