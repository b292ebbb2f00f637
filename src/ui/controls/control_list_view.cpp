#include "ui/controls/control_list_view.h"

#include "controls/printouts.h"
#include "ui/controls/result_views.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/qt_text.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavir::ui {

PrintKindsDialog::PrintKindsDialog(QWidget* parent)
    : QDialog(parent),
      columns_(new QCheckBox(" по графам", this)),
      rows_(new QCheckBox(" по строкам", this)),
      tables_(new QCheckBox("межтабличный", this)) {
    setObjectName("PrintKinds");
    setWindowTitle("Параметры печати");
    columns_->setObjectName("?CHECK1");
    rows_->setObjectName("?CHECK2");
    tables_->setObjectName("?CHECK3");
    auto* group = new QGroupBox("Печатать контроли", this);
    auto* checks = new QVBoxLayout(group);
    for (QCheckBox* c : {columns_, rows_, tables_}) checks->addWidget(c);
    auto* go = new QPushButton("Продолжить", this);
    go->setObjectName("?CONTINUE");
    connect(go, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(go, 0, Qt::AlignRight);
}

controls::PrintKinds PrintKindsDialog::kinds() const {
    return {columns_->isChecked(), rows_->isChecked(), tables_->isChecked()};
}

namespace {

// A tab page with a note above its list.
QWidget* tabPage(QWidget* parent, const QString& note, QTableWidget* list) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    if (!note.isEmpty()) layout->addWidget(new QLabel(note, page));
    list->setParent(page);
    layout->addWidget(list);
    return page;
}

}  // namespace

ControlListView::ControlListView(const data::Installation& installation, const app::SharedState& state,
                                 const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      ui_(interactions(this)),
      model_(entry::currentContext(installation_, *ui_, state)),
      code_(new QLabel(this)),
      name_(new QLabel(this)),
      columns_(makeList(this, "?BROWSE:1", {"Код", "таблица", "строка", "контроль"})),
      rows_(makeList(this, "?BROWSE:2", {"Код контроля", "таблица", "графа", "контроль"})),
      tables_(makeList(this, "?BROWSE:3", {"unicod", "табл", "CodStr", "Nграфы", ""})) {
    setObjectName("ControlList");
    setWindowTitle("Список  контролей");
    code_->setObjectName("?FOR:UNICOD");
    name_->setObjectName("?FOR:NAME");
    auto* form = new QPushButton("Форма", this);
    form->setObjectName("?FORM");
    connect(form, &QPushButton::clicked, this, [this] {
        model_.changeForm();
        showLists();
    });
    auto* sheet = new QTabWidget(this);
    sheet->setObjectName("?SHEET");
    sheet->addTab(tabPage(sheet, "0 - по всем строкам таблицы", columns_), "По графам");
    sheet->addTab(tabPage(sheet, "0 - по всем графам таблицы", rows_), "По строкам");
    sheet->addTab(tabPage(sheet, {}, tables_), "Межтабличный");
    auto* print = new QPushButton("Печать", this);
    print->setObjectName("?PRINT");
    connect(print, &QPushButton::clicked, this, [this] {
        PrintKindsDialog dialog(this);
        if (dialog.exec() != QDialog::Accepted) return;
        showPreview(controls::controlListPrintout(model_.printout(dialog.kinds())), this);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(form);
    top->addWidget(code_);
    top->addWidget(name_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(sheet);
    layout->addWidget(print, 0, Qt::AlignRight);
    resize(900, 520);
}

bool ControlListView::open() {
    bool chosen = false;
    if (!model_.open(chosen) || !chosen) return false;
    showLists();
    return true;
}

void ControlListView::showLists() {
    code_->setText(QString::number(model_.form()));
    name_->setText(toQString(model_.formName()));
    const auto& lists = model_.lists();
    columns_->setRowCount(0);
    rows_->setRowCount(0);
    tables_->setRowCount(0);
    for (int i = 0; i < static_cast<int>(lists.columnRules.size()); ++i) {
        const auto& r = lists.columnRules[i];
        setLine(columns_, i, {QString::number(r.rule), QString::number(r.table), toQString(r.row), toQString(r.formula)});
    }
    for (int i = 0; i < static_cast<int>(lists.rowRules.size()); ++i) {
        const auto& r = lists.rowRules[i];
        setLine(rows_, i, {QString::number(r.rule), QString::number(r.table), QString::number(r.column),
                           toQString(r.formula)});
    }
    for (int i = 0; i < static_cast<int>(lists.tableRules.size()); ++i) {
        const auto& r = lists.tableRules[i];
        setLine(tables_, i, {QString::number(r.rule), QString::number(r.table), toQString(r.code),
                             QString::number(r.column), toQString(r.formula)});
    }
    for (QTableWidget* list : {columns_, rows_, tables_}) fitColumns(list);
}

}  // namespace tavir::ui
