#include "ui/registry/submitted_reports_view.h"

#include "data/period_entry.h"
#include "ui/controls/result_views.h"
#include "ui/entry/report_window.h"
#include "ui/platform/desktop_opener_qt.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavir::ui {

namespace {

data::PeriodType periodTypeOf(int code) {
    return data::periodTypeFromCode(code).value_or(data::PeriodType::Monthly);
}

}  // namespace

SubmittedReportsView::SubmittedReportsView(const data::Installation& installation, app::SharedState& state,
                                           const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      state_(state),
      interactions_(interactions),
      ui_(interactions(this)),
      opener_(std::make_unique<QtDesktopOpener>()),
      model_(installation_, *ui_, state),
      number_(new QLabel(this)),
      name_(new QLabel(this)),
      periods_(new QLabel("Период с", this)),
      low_(new QLineEdit(this)),
      high_(new QLineEdit(this)),
      list_(makeList(this, "?BROWSE:1", {"КодУчр", "Регион", "Вид ЛПУ", "Учреждение", "Отчетный период", ""})),
      total_(new QLabel(this)) {
    setObjectName("SubmittedReports");
    setWindowTitle(toQString(registry::kSubmittedCaption));
    number_->setObjectName("?FOR:COD");
    name_->setObjectName("?FOR:NAME");
    low_->setObjectName("?MES1");
    high_->setObjectName("?MES2");
    total_->setObjectName("?TOTAL");
    for (QLineEdit* bound : {low_, high_}) bound->setMaximumWidth(fontMetrics().averageCharWidth() * 12);

    auto* form = namedButton(this, "?FORM", "ФОРМА");
    connect(form, &QPushButton::clicked, this, [this] {
        bool closed = false;
        model_.changeForm(closed);
        if (closed) {
            close();
            return;
        }
        showForm();
        showList();
    });
    auto* ok = namedButton(this, "?OK", "Ok");
    connect(ok, &QPushButton::clicked, this, [this] {
        if (!takeBounds()) return;
        model_.rebuild();
        showList();
    });
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int line, int) { openReport(line); });
    list_->installEventFilter(this);
    auto* print = namedButton(this, "?PRINT", "Печать");
    connect(print, &QPushButton::clicked, this, [this] {
        platform::Document document;
        if (model_.printout(document)) showPreview(std::move(document), this);
    });
    auto* excel = namedButton(this, "?EXCEL", "Excel");
    connect(excel, &QPushButton::clicked, this, [this] {
        platform::SpreadsheetServer server(*opener_);
        model_.exportList(server);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(form);
    top->addWidget(number_);
    top->addWidget(name_, 1);
    auto* bounds = new QHBoxLayout;
    bounds->addWidget(periods_);
    bounds->addWidget(low_);
    bounds->addWidget(high_);
    bounds->addWidget(ok);
    bounds->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(total_, 1);
    bottom->addWidget(print);
    bottom->addWidget(excel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bounds);
    layout->addWidget(list_, 1);
    layout->addLayout(bottom);
    resize(fontMetrics().averageCharWidth() * 130, fontMetrics().height() * 30);
}

bool SubmittedReportsView::open() {
    bool opened = false;
    model_.open(opened);
    if (!opened) return false;
    showForm();
    showList();
    return true;
}

void SubmittedReportsView::showForm() {
    const entry::FormChoice& form = model_.form();
    number_->setText(toQString(form.number));
    name_->setText(toQString(form.name));
    const bool shown = model_.periodsShown();
    for (QWidget* w : std::initializer_list<QWidget*>{periods_, low_, high_}) w->setVisible(shown);
    const data::PeriodType type = periodTypeOf(form.periodType);
    low_->setText(toQString(data::periodEntryText(type, model_.low())));
    high_->setText(toQString(data::periodEntryText(type, model_.high())));
}

void SubmittedReportsView::showList() {
    const auto& entries = model_.entries();
    list_->setRowCount(0);
    const data::PeriodType type = periodTypeOf(model_.form().periodType);
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const registry::SubmittedEntry& e = entries[i];
        setLine(list_, i, {QString::number(e.facility), toQString(e.districtName), toQString(e.kindName),
                           toQString(e.facilityName), toQString(data::periodEntryText(type, e.period)),
                           toQString(e.periodText)});
    }
    if (!entries.empty()) list_->setCurrentCell(0, 0);
    total_->setText(toQString(model_.totalText()));
}

bool SubmittedReportsView::takeBounds() {
    if (!model_.periodsShown()) return true;
    const data::PeriodType type = periodTypeOf(model_.form().periodType);
    int64_t bounds[2] = {0, 0};
    const QLineEdit* entries[2] = {low_, high_};
    for (int i = 0; i < 2; ++i) {
        const data::PeriodChoice read = data::readPeriod(type, toStdString(entries[i]->text()));
        if (!read.accepted()) {
            ui_->message(read.error);
            return false;
        }
        bounds[i] = read.code;
    }
    model_.setBounds(bounds[0], bounds[1]);
    return true;
}

void SubmittedReportsView::openReport(int line) {
    if (line < 0 || line >= static_cast<int>(model_.entries().size())) return;
    const entry::ChosenReport report = model_.reportToOpen(static_cast<size_t>(line));
    int district = report.district;
    // Report entry runs on the list's behalf and returns to it.
    auto* window = new ReportWindow(installation_, state_, interactions_, report, &district);
    if (!window->open()) {
        delete window;
        return;
    }
    runBlocking(window, this);
    model_.reportClosed(static_cast<size_t>(line), district);
    showList();
    list_->setCurrentCell(std::min(line, list_->rowCount() - 1), 0);
}

bool SubmittedReportsView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openReport(list_->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavir::ui
