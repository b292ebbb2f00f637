#include "ui/registry/report_list_view.h"

#include "platform/numeric_text.h"
#include "ui/analysis/consolidation_view.h"
#include "ui/app/help_window.h"
#include "ui/controls/result_views.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavir::ui {

namespace {

constexpr int kHelpTopic = 2;
enum Column { Number, Facility, Period, Mark, District, Kind, Settlement, Name };

}  // namespace

ReportListView::ReportListView(const data::Installation& installation, app::SharedState& state,
                               const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      state_(state),
      interactions_(interactions),
      ui_(interactions(this)),
      model_(std::make_unique<registry::ReportListWindow>(installation_, state, *ui_)),
      year_(new QLineEdit(this)),
      periodLabel_(new QLabel("Период с", this)),
      lower_(new QLineEdit(this)),
      upper_(new QLineEdit(this)),
      list_(makeList(this, "?BROWSE", {"N", "КодЛПУ", "Период", "", "район", "вид", "село", "учреждение"})),
      districts_(new QComboBox(this)),
      kinds_(new QComboBox(this)),
      town_(new QCheckBox("Город", this)),
      village_(new QCheckBox("Село", this)),
      switch_(new QCheckBox("без учета типа граф", this)),
      count_(new QLabel(this)),
      marked_(new QLabel(this)),
      code_(new QLineEdit(this)),
      name_(new QLineEdit(this)) {
    setObjectName("ReportList");
    setWindowTitle("Список отчетов");

    QPushButton* form = namedButton(this, "?FORM", "Форма");
    form->setToolTip("Выбор отчетной  формы");
    connect(form, &QPushButton::clicked, this, &ReportListView::changeForm);
    year_->setObjectName("?GLOBYEAR");
    year_->setValidator(new QIntValidator(0, 9999, year_));
    year_->setMaxLength(4);
    year_->setFixedWidth(fontMetrics().horizontalAdvance("00000") + 12);
    connect(year_, &QLineEdit::editingFinished, this, [this] {
        if (!year_->isModified()) return;
        year_->setModified(false);
        model_->changeYear(year_->text().toInt());
        showAll();
    });
    lower_->setObjectName("?PERIOD1");
    upper_->setObjectName("?PERIOD2");
    for (QLineEdit* e : {lower_, upper_}) {
        e->setFixedWidth(fontMetrics().horizontalAdvance("00.00.00") + 16);
        connect(e, &QLineEdit::returnPressed, this, &ReportListView::build);
    }
    QPushButton* ok = namedButton(this, "?OK", "Ok");
    ok->setToolTip("Необходимо нажать после смены формы и (или)\nпериода");
    connect(ok, &QPushButton::clicked, this, &ReportListView::build);

    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    const int charWidth = fontMetrics().averageCharWidth();
    for (auto [column, chars] : {std::pair{Number, 5}, {Facility, 9}, {Period, 9}, {Mark, 2}, {District, 18},
                                 {Kind, 20}, {Settlement, 6}}) {
        list_->setColumnWidth(column, charWidth * chars + 12);
    }
    list_->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        model_->toggle(row);
        showList();
        list_->selectRow(row);
    });

    districts_->setObjectName("?QSR:NAME");
    kinds_->setObjectName("?QSV:NAME");
    connect(districts_, &QComboBox::activated, this, [this](int index) {
        if (showing_) return;
        model_->chooseDistrict(districts_->itemData(index).toInt());
        showList();
    });
    connect(kinds_, &QComboBox::activated, this, [this](int index) {
        if (showing_) return;
        model_->chooseKind(kinds_->itemData(index).toInt());
        showList();
    });
    town_->setObjectName("?TOWN");
    village_->setObjectName("?VILLAGE");
    connect(town_, &QCheckBox::toggled, this, [this](bool on) {
        if (showing_) return;
        model_->setTown(on);
        showList();
    });
    connect(village_, &QCheckBox::toggled, this, [this](bool on) {
        if (showing_) return;
        model_->setVillage(on);
        showList();
    });
    switch_->setObjectName("?SWITCH");
    connect(switch_, &QCheckBox::toggled, this, [this](bool on) { model_->setIgnoreColumnKinds(on); });

    QPushButton* markAll = namedButton(this, "?MARKALL", "Выделить все");
    connect(markAll, &QPushButton::clicked, this, [this] {
        model_->markAll();
        showList();
    });
    QPushButton* reset = namedButton(this, "?RESET", "Сброс");
    reset->setToolTip("Сброс отметки о выделении в списке ЛПУ");
    connect(reset, &QPushButton::clicked, this, [this] {
        model_->reset();
        showList();
    });
    count_->setObjectName("?COUNT");
    marked_->setObjectName("?MARKED");

    code_->setObjectName("?CODE");
    code_->setValidator(new QIntValidator(0, 99999, code_));
    code_->setFixedWidth(fontMetrics().horizontalAdvance("000000") + 12);
    QPushButton* findCode = namedButton(this, "?FINDCODE", "По коду");
    connect(findCode, &QPushButton::clicked, this, [this] {
        const auto code = platform::parseIntegerStrict(toStdString(code_->text()));
        select(code ? model_->findCode(static_cast<int>(*code)) : std::nullopt);
    });
    name_->setObjectName("?NAME");
    QPushButton* findName = namedButton(this, "?FINDNAME", "Поиск ЛПУ по названию");
    connect(findName, &QPushButton::clicked, this, [this] {
        const int current = list_->currentRow();
        select(model_->findName(toStdString(name_->text()), current >= 0 ? std::optional<int>(current) : std::nullopt));
    });
    connect(code_, &QLineEdit::returnPressed, findCode, &QPushButton::click);
    connect(name_, &QLineEdit::returnPressed, findName, &QPushButton::click);

    QPushButton* svod = namedButton(this, "?SVOD", "С В О Д     F3");
    svod->setToolTip("Формирует Свод по выбранной форме за выбранный период");
    svod->setShortcut(Qt::Key_F3);
    connect(svod, &QPushButton::clicked, this, &ReportListView::consolidate);
    // Breakdowns and indicators open from here once their windows exist;
    // until then their buttons stay disabled. "Полнота отчета" has no action.
    QPushButton* konstr = namedButton(this, "?KONSTR", "Конструктор отчетов  F4");
    QPushButton* pokas = namedButton(this, "?POKAS", "Показатели");
    QPushButton* polnota = namedButton(this, "?POLNOTA", "Полнота отчета");
    for (QPushButton* b : {konstr, pokas, polnota}) b->setEnabled(false);
    QPushButton* help = namedButton(this, "?HELP", QString());
    help->setToolTip("Справка");
    help->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    connect(help, &QPushButton::clicked, this, [this] {
        auto* window = new HelpWindow(installation_, interactions_, kHelpTopic, false, QString());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(form);
    top->addWidget(new QLabel("Год", this));
    top->addWidget(year_);
    top->addWidget(periodLabel_);
    top->addWidget(lower_);
    top->addWidget(new QLabel("по", this));
    top->addWidget(upper_);
    top->addWidget(ok);
    top->addStretch(1);
    top->addWidget(switch_);
    top->addWidget(help);

    auto* filters = new QGridLayout;
    filters->addWidget(new QLabel("Район", this), 0, 0);
    filters->addWidget(districts_, 0, 1);
    filters->addWidget(new QLabel("Вид ЛПУ", this), 1, 0);
    filters->addWidget(kinds_, 1, 1);
    filters->addWidget(town_, 0, 2);
    filters->addWidget(village_, 1, 2);
    filters->addWidget(markAll, 0, 3);
    filters->addWidget(reset, 1, 3);
    filters->addWidget(count_, 0, 4);
    filters->addWidget(marked_, 1, 4);
    filters->setColumnStretch(1, 1);

    auto* search = new QHBoxLayout;
    search->addWidget(code_);
    search->addWidget(findCode);
    search->addWidget(name_, 1);
    search->addWidget(findName);

    auto* analyses = new QHBoxLayout;
    for (QPushButton* b : {svod, konstr, pokas, polnota}) analyses->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(filters);
    layout->addWidget(list_, 1);
    layout->addLayout(search);
    layout->addLayout(analyses);
    resize(980, 600);
}

bool ReportListView::open() {
    bool opened = false;
    model_->open(opened);
    if (!opened) return false;
    showAll();
    return true;
}

void ReportListView::changeForm() {
    bool stays = true;
    model_->changeForm(stays);
    if (!stays) {
        close();
        return;
    }
    showAll();
}

void ReportListView::build() {
    if (!model_->enterPeriods(toStdString(lower_->text()), toStdString(upper_->text()))) return;
    model_->build();
    showAll();
}

void ReportListView::consolidate() {
    const auto request = model_->request(registry::Analysis::Consolidation);
    if (!request) return;
    // The list waits while the consolidation is open and stays as it was.
    auto* window = new ConsolidationView(installation_, state_, interactions_, *request, this);
    window->setWindowFlag(Qt::Window);
    window->setWindowModality(Qt::WindowModal);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->open()) {
        delete window;
        return;
    }
    window->show();
}

void ReportListView::select(std::optional<int> line) {
    if (!line) {
        ui_->beep();
        return;
    }
    list_->selectRow(*line);
    list_->scrollToItem(list_->item(*line, 0));
    list_->setFocus();
}

void ReportListView::showAll() {
    showForm();
    showFilters();
    showList();
}

void ReportListView::showForm() {
    setWindowTitle(toQString(model_->caption()));
    year_->setText(QString::number(model_->year()));
    const bool periods = model_->showsPeriods();
    for (QWidget* w : {static_cast<QWidget*>(periodLabel_), static_cast<QWidget*>(lower_),
                       static_cast<QWidget*>(upper_)}) {
        w->setVisible(periods);
    }
    lower_->setText(toQString(model_->periodText(model_->lower())));
    upper_->setText(model_->upper() ? toQString(model_->periodText(*model_->upper())) : QString());
    list_->horizontalHeaderItem(Period)->setText(model_->showsDates() ? "Дата" : "Период");
    switch_->setVisible(model_->offersColumnKindSwitch());
    switch_->setChecked(model_->ignoreColumnKinds());
}

void ReportListView::showFilters() {
    showing_ = true;
    districts_->clear();
    for (const auto& c : model_->districtChoices()) districts_->addItem(toQString(c.name), c.code);
    kinds_->clear();
    for (const auto& c : model_->kindChoices()) kinds_->addItem(toQString(c.name), c.code);
    showing_ = false;
}

void ReportListView::showList() {
    showing_ = true;
    districts_->setCurrentIndex(districts_->findData(model_->districtFilter()));
    kinds_->setCurrentIndex(kinds_->findData(model_->kindFilter()));
    town_->setChecked(model_->town());
    village_->setChecked(model_->village());
    showing_ = false;

    const auto& entries = model_->entries();
    const int current = list_->currentRow();
    list_->setUpdatesEnabled(false);
    list_->setRowCount(static_cast<int>(entries.size()));
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const auto& e = entries[i];
        setLine(list_, i,
                {QString::number(e.number), QString::number(e.facility), toQString(model_->periodText(e.period)),
                 toQString(e.markText()), toQString(e.districtName), toQString(e.kindName), toQString(e.settlement),
                 toQString(e.facilityName)});
        list_->item(i, Name)->setToolTip(toQString(e.facilityName));
    }
    list_->setUpdatesEnabled(true);
    if (current >= 0 && current < list_->rowCount()) list_->selectRow(current);
    count_->setText("Всего отчетов: " + QString::number(entries.size()));
    marked_->setText("Отмечено  : " + QString::number(model_->markedCount()));
}

}  // namespace tavir::ui
