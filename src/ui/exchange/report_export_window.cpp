#include "ui/exchange/report_export_window.h"

#include "platform/number_format.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavir::ui {

namespace {

QStringList buttonTexts(int periodType, int count) {
    QStringList texts;
    for (int i = 1; i <= count; ++i) texts << toQString(exchange::periodButtonText(periodType, i));
    return texts;
}

}  // namespace

ReportExportWindow::ReportExportWindow(const data::Installation& installation, app::SharedState& state,
                                       const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      ui_(interactions(this)),
      controlViews_(this),
      model_(std::make_unique<exchange::ReportExport>(installation_, state, *ui_, controlViews_)),
      pages_(new QStackedWidget(this)),
      path_(new QComboBox(this)),
      month_(new QButtonGroup(this)),
      quarter_(new QButtonGroup(this)),
      half_(new QButtonGroup(this)),
      annual_(new QCheckBox("Годовая отчетность", this)),
      forms_(makeList(this, "?FORMS", {"Код", "отметка", "наименование", "период", ""})),
      markAll_(new QCheckBox("отметить все формы", this)),
      formsPath_(new QLabel(this)),
      district_(new QLabel(this)),
      facility_(new QLabel(this)),
      facilityCode_(new QLabel(this)),
      results_(makeList(this, "?RESULTS", {"Код", "Форма", "", "Число записей"})),
      total_(new QLabel(this)),
      text_(new QLabel(this)) {
    setObjectName("ReportExport");
    setWindowTitle(toQString(exchange::kExportCaption));

    // The path and period window.
    auto* first = new QWidget(pages_);
    path_->setObjectName("?PATH");
    path_->setEditable(true);
    connect(path_, &QComboBox::activated, this, [this](int index) {
        model_->pickCandidate(static_cast<size_t>(index));
        path_->setEditText(toQString(model_->exchangePath()));
    });
    auto* year = new QLabel(QString::number(state.globYear.load()), first);
    year->setObjectName("?GLOBYEAR");
    annual_->setObjectName("?ANNUAL");
    QPushButton* go = namedButton(first, "?CONTINUE", "Продолжить");
    connect(go, &QPushButton::clicked, this, &ReportExportWindow::proceed);
    auto* top = new QGridLayout(first);
    top->addWidget(new QLabel("Год", first), 0, 0);
    top->addWidget(year, 0, 1);
    top->addWidget(new QLabel("ПУТЬ :", first), 1, 0);
    top->addWidget(path_, 1, 1);
    top->addWidget(new QLabel("PS: Диски - латинские буквы", first), 1, 2);
    top->addWidget(optionBox(first, "Ежемесячные отчеты", "?MONTH", month_, buttonTexts(1, 12), 1, Qt::Vertical), 2, 0,
                   3, 1);
    top->addWidget(optionBox(first, "Ежеквартальные отчеты", "?QUARTER", quarter_, buttonTexts(2, 4), 1, Qt::Vertical),
                   2, 1);
    top->addWidget(optionBox(first, "Полугодовые отчеты", "?HALF", half_, buttonTexts(3, 2), 1, Qt::Vertical), 3, 1);
    top->addWidget(annual_, 4, 1);
    top->addWidget(go, 5, 2, Qt::AlignRight);
    pages_->addWidget(first);

    // The form window.
    auto* second = new QWidget(pages_);
    forms_->setParent(second);
    connect(forms_, &QTableWidget::cellClicked, this, [this](int line, int) {
        const auto& forms = model_->forms();
        if (line < 0 || line >= static_cast<int>(forms.size())) return;
        model_->setMarked(static_cast<size_t>(line), !forms[static_cast<size_t>(line)].marked);
        showForms();
    });
    markAll_->setObjectName("?MARKALL");
    connect(markAll_, &QCheckBox::toggled, this, [this](bool on) {
        model_->markAll(on);
        showForms();
    });
    formsPath_->setObjectName("?EXCHANGEPATH");
    district_->setObjectName("?DISTRICT");
    facility_->setObjectName("?FACILITY");
    facilityCode_->setObjectName("?FACILITYCODE");
    total_->setObjectName("?TOTAL");
    text_->setObjectName("?TEXT");
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton* exportButton = namedButton(second, "?EXPORT", "Выгрузить");
    connect(exportButton, &QPushButton::clicked, this, &ReportExportWindow::exportMarked);
    auto* year2 = new QLabel(QString::number(state.globYear.load()), second);
    auto* head = new QGridLayout;
    head->addWidget(new QLabel("Год", second), 0, 0);
    head->addWidget(year2, 0, 1);
    head->addWidget(formsPath_, 0, 2);
    head->addWidget(district_, 1, 0, 1, 2);
    head->addWidget(facility_, 1, 2);
    head->addWidget(facilityCode_, 1, 3);
    auto* resultsBox = new QGroupBox("Выгруженные отчеты", second);
    auto* resultsLayout = new QVBoxLayout(resultsBox);
    results_->setParent(resultsBox);
    resultsLayout->addWidget(results_);
    resultsLayout->addWidget(total_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(markAll_);
    buttons->addStretch(1);
    buttons->addWidget(exportButton);
    auto* layout2 = new QVBoxLayout(second);
    layout2->addLayout(head);
    layout2->addWidget(forms_, 2);
    layout2->addLayout(buttons);
    layout2->addWidget(resultsBox, 1);
    layout2->addWidget(text_);
    pages_->addWidget(second);

    forms_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    results_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    resize(760, 560);
}

bool ReportExportWindow::open() {
    if (!model_->open()) return false;
    for (const auto& c : model_->candidates()) path_->addItem(toQString(c));
    path_->setEditText(toQString(model_->exchangePath()));
    return true;
}

void ReportExportWindow::proceed() {
    model_->setExchangePath(toStdString(path_->currentText()));
    model_->periods = {std::max(0, month_->checkedId()), std::max(0, quarter_->checkedId()),
                       std::max(0, half_->checkedId()), annual_->isChecked()};
    if (!model_->proceed()) {
        path_->setEditText(toQString(model_->exchangePath()));
        return;
    }
    setWindowTitle(toQString(exchange::kExportFormsCaption));
    formsPath_->setText(toQString(model_->exchangePath()));
    district_->setText(toQString(model_->subject().districtLabel));
    facility_->setText(toQString(model_->subject().facilityLabel));
    facilityCode_->setText(QString::number(model_->subject().facility));
    showForms();
    showResults();
    pages_->setCurrentIndex(1);
}

void ReportExportWindow::exportMarked() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool goesOn = model_->exportMarked();
    QApplication::restoreOverrideCursor();
    showResults();
    if (!goesOn) {
        close();
        return;
    }
    results_->scrollToBottom();
}

void ReportExportWindow::showForms() {
    const auto& forms = model_->forms();
    forms_->setRowCount(0);
    for (int i = 0; i < static_cast<int>(forms.size()); ++i) {
        const auto& f = forms[static_cast<size_t>(i)];
        setLine(forms_, i,
                {QString::number(f.form), f.marked ? "V" : "", toQString(f.name),
                 QString::number(f.period), toQString(f.typeWord)});
    }
}

void ReportExportWindow::showResults() {
    const auto& lines = model_->results();
    results_->setRowCount(0);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const auto& r = lines[static_cast<size_t>(i)];
        setLine(results_, i,
                {QString::number(r.form), toQString(r.name), toQString(r.periodText), QString::number(r.count)});
    }
    total_->setText(QString::number(model_->total()));
    text_->setText(toQString(model_->textLine()));
}

}  // namespace tavir::ui
