#include "ui/controls/result_views.h"

#include "controls/printouts.h"
#include "platform/number_format.h"
#include "platform/text.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tavir::ui {

QTableWidget* makeList(QWidget* parent, const QString& name, const QStringList& titles) {
    auto* list = new QTableWidget(0, static_cast<int>(titles.size()), parent);
    list->setObjectName(name);
    list->setHorizontalHeaderLabels(titles);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->hide();
    // One text line per row; a cut text shows in full as the cell's tip.
    list->setWordWrap(false);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    return list;
}

void setLine(QTableWidget* list, int line, const QStringList& cells) {
    if (list->rowCount() <= line) list->setRowCount(line + 1);
    for (int c = 0; c < cells.size() && c < list->columnCount(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        item->setToolTip(cells[c]);
        list->setItem(line, c, item);
    }
}

void fitColumns(QTableWidget* list) {
    list->resizeColumnsToContents();
    const int widest = list->fontMetrics().averageCharWidth() * 40;
    for (int c = 0; c + 1 < list->columnCount(); ++c) list->setColumnWidth(c, std::min(list->columnWidth(c), widest));
}

namespace {

QLineEdit* display(QWidget* parent, const QString& name, const QString& text) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QPlainTextEdit* textBox(QWidget* parent) {
    auto* text = new QPlainTextEdit(parent);
    text->setObjectName("?TEXT");
    text->setReadOnly(true);
    text->setMaximumHeight(text->fontMetrics().height() * 4 + 12);
    return text;
}

QString number(platform::Decimal value) { return toQString(platform::formatNumber(value)); }

}  // namespace

ErrorListDialog::ErrorListDialog(controls::ErrorListWindow& model, QWidget* parent)
    : QDialog(parent), model_(model), list_(makeList(this, "?BROWSE:1", {"код", "Таблица", "Откл", "наименование"})),
      text_(textBox(this)) {
    setObjectName("ErrorList");
    setWindowTitle("Список");
    const auto& lines = model_.lines();
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const auto& l = lines[i];
        setLine(list_, i, {toQString(l.code), QString::number(l.table),
                           number(l.deviation), toQString(l.text)});
    }
    auto* print = namedButton(this, "?PRINT", "Печать");
    connect(print, &QPushButton::clicked, this, [this] {
        showPreview(controls::errorListPrintout(model_), this);
        accept();
    });
    connect(list_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0) return;
        model_.select(static_cast<size_t>(row));
        text_->setPlainText(toQString(model_.selectedText()));
    });
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Год", this));
    top->addWidget(display(this, "?GLOBYEAR", QString::number(model_.year())));
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_);
    layout->addWidget(text_);
    layout->addWidget(print, 0, Qt::AlignRight);
    resize(760, 420);
    fitColumns(list_);
    if (!lines.empty()) list_->setCurrentCell(0, 0);
    text_->setPlainText(toQString(model_.selectedText()));
}

RunResultsDialog::RunResultsDialog(controls::RunResultsWindow& model, QWidget* parent)
    : QDialog(parent), model_(model),
      list_(makeList(this, "?BROWSE:1", {"контр", "код", "ЛПУ", "Форма", "Откл", ""})), text_(textBox(this)),
      name_(display(this, "?NAME", {})) {
    setObjectName("RunResults");
    setWindowTitle("Внутриформенные контроли");
    const auto& lines = model_.lines();
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const auto& l = lines[i];
        setLine(list_, i, {QString::number(l.rule), QString::number(l.subject), toQString(l.name),
                           QString::number(l.form), number(l.deviation), toQString(l.text)});
    }
    connect(list_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0) return;
        model_.select(static_cast<size_t>(row));
        text_->setPlainText(toQString(model_.selectedText()));
        name_->setText(toQString(model_.selectedName()));
    });
    auto* print = namedButton(this, "?PRINT", "Печать");
    connect(print, &QPushButton::clicked, this, [this] { showPreview(controls::runResultsPrintout(model_), this); });
    auto* close = namedButton(this, "?CLOSE", "Выход");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(display(this, "?REG:NAME", toQString(model_.districtName())));
    top->addWidget(display(this, "?BOL:NAZV", toQString(model_.facilityName())));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_);
    layout->addWidget(text_);
    layout->addWidget(name_);
    layout->addLayout(buttons);
    resize(900, 500);
    fitColumns(list_);
    if (!lines.empty()) list_->setCurrentCell(0, 0);
}

InterformResultsDialog::InterformResultsDialog(controls::InterformResultsWindow& model, QWidget* parent)
    : QDialog(parent), model_(model), list_(makeList(this, "?BROWSE:1", {"код", "ЛПУ", "", "Отклонение", ""})),
      text_(textBox(this)) {
    setObjectName("InterformResults");
    setWindowTitle("Межформенные контроли");
    const auto& results = model_.results();
    for (int i = 0; i < static_cast<int>(results.size()); ++i) {
        const auto& r = results[i];
        setLine(list_, i, {QString::number(r.code), toQString(r.name), toQString(r.mark),
                           toQString(platform::formatNumber(r.sum)), toQString(r.text)});
    }
    connect(list_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0) return;
        model_.select(static_cast<size_t>(row));
        text_->setPlainText(toQString(model_.selectedText()));
    });
    auto* print = namedButton(this, "?PRINT", "Печать");
    connect(print, &QPushButton::clicked, this, [this] { showPreview(controls::interformPrintout(model_), this); });
    auto* close = namedButton(this, "?CLOSE", "Выход");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(display(this, "?FORMULA", toQString(model_.formula())));
    layout->addWidget(display(this, "?NAME", toQString(model_.name())));
    layout->addWidget(list_);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    resize(900, 500);
    fitColumns(list_);
    if (!results.empty()) list_->setCurrentCell(0, 0);
}

void QtControlViews::showErrorList(controls::ErrorListWindow& window) {
    ErrorListDialog dialog(window, parent_);
    dialog.exec();
}

void QtControlViews::showRunResults(controls::RunResultsWindow& window) {
    RunResultsDialog dialog(window, parent_);
    dialog.exec();
}

}  // namespace tavir::ui
