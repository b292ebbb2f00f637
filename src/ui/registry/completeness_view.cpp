#include "ui/registry/completeness_view.h"

#include "data/periods.h"
#include "platform/numeric_text.h"
#include "platform/text.h"
#include "ui/platform/desktop_opener_qt.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <ctime>

namespace tavir::ui {

CompletenessView::CompletenessView(const data::Installation& installation, app::SharedState& state,
                                   const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      ui_(interactions(this)),
      opener_(std::make_unique<QtDesktopOpener>()),
      model_(installation_, *ui_, state),
      year_(new QLineEdit(QString::number(model_.year()), this)),
      low_(new QLineEdit(this)),
      high_(new QLineEdit(this)),
      daily_(new QCheckBox("ежедневные отчеты", this)),
      by_(new QButtonGroup(this)),
      table_(new QTableWidget(this)),
      rows_(new QLabel(this)) {
    setObjectName("Completeness");
    setWindowTitle(toQString(registry::kCompletenessCaption));
    year_->setObjectName("?GLOBYEAR");
    year_->setMaxLength(4);
    year_->setValidator(new QIntValidator(0, 9999, year_));
    year_->setMaximumWidth(fontMetrics().averageCharWidth() * 8);
    connect(year_, &QLineEdit::editingFinished, this, [this] {
        const int year = year_->text().toInt();
        if (year == model_.year()) return;
        model_.setYear(year);
        showTable();
    });
    low_->setObjectName("?MES1");
    high_->setObjectName("?MES2");
    for (QLineEdit* bound : {low_, high_}) bound->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
    daily_->setObjectName("?DAILY");
    connect(daily_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setDaily(on);
        showBounds();
    });
    QGroupBox* byBox = optionBox(this, QString(), "?OPTION1", by_, {"по районам", "по ЛПУ"}, 1, Qt::Horizontal);
    by_->button(1)->setChecked(true);
    connect(by_, &QButtonGroup::idClicked, this, [this](int id) {
        model_.setBy(id == 2 ? registry::CompletenessBy::Facilities : registry::CompletenessBy::Districts);
    });
    auto* run = namedButton(this, "?RUN", "Подсчет");
    connect(run, &QPushButton::clicked, this, [this] {
        if (!takeBounds()) return;
        model_.run(std::time(nullptr));
        showBounds();
        showTable();
    });
    table_->setObjectName("?BROWSE:1");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    rows_->setObjectName("?ROWS");
    auto* print = namedButton(this, "?PRINT", "Печать");
    connect(print, &QPushButton::clicked, this,
            [this] { showPreview(registry::completenessPrintout(model_.table()), this); });
    auto* excel = namedButton(this, "?EXCEL", "Excel");
    connect(excel, &QPushButton::clicked, this, [this] {
        platform::SpreadsheetServer server(*opener_);
        model_.exportTable(server);
    });
    // The window's help button has no action.
    auto* help = namedButton(this, "?HELP", "Помощь");
    help->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Год", this));
    top->addWidget(year_);
    top->addWidget(new QLabel("Месяцы с", this));
    top->addWidget(low_);
    top->addWidget(new QLabel("по", this));
    top->addWidget(high_);
    top->addWidget(daily_);
    top->addWidget(byBox);
    top->addWidget(run);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(rows_, 1);
    bottom->addWidget(print);
    bottom->addWidget(excel);
    bottom->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);
    showBounds();
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 32);
}

void CompletenessView::showBounds() {
    for (QLineEdit* bound : {low_, high_}) bound->setMaxLength(model_.daily() ? 8 : 2);
    low_->setText(toQString(model_.boundText(model_.low())));
    high_->setText(toQString(model_.boundText(model_.high())));
}

bool CompletenessView::takeBounds() {
    int64_t bounds[2] = {0, 0};
    const QLineEdit* entries[2] = {low_, high_};
    for (int i = 0; i < 2; ++i) {
        const std::string text = toStdString(entries[i]->text());
        std::optional<int64_t> read =
            model_.daily() ? data::parseDdMmYy(text) : platform::parseIntegerStrict(platform::trimRight(text));
        if (!read && model_.daily() && platform::trimRight(text).empty()) read = 0;
        if (!read || *read < 0) {
            ui_->message("Ошибка");
            return false;
        }
        bounds[i] = *read;
    }
    model_.setBounds(bounds[0], bounds[1]);
    return true;
}

void CompletenessView::showTable() {
    const registry::CompletenessTable& t = model_.table();
    QStringList titles{QString(), "Наименование"};
    for (const auto& c : t.columns) titles << QString::number(c.form);
    table_->clear();
    table_->setColumnCount(static_cast<int>(titles.size()));
    table_->setHorizontalHeaderLabels(titles);
    table_->setRowCount(static_cast<int>(t.rows.size()));
    const int charWidth = fontMetrics().averageCharWidth();
    table_->setColumnWidth(0, charWidth * 6);
    table_->setColumnWidth(1, charWidth * 50);
    for (int r = 0; r < static_cast<int>(t.rows.size()); ++r) {
        const registry::CompletenessRow& row = t.rows[r];
        auto put = [&](int c, const QString& text, Qt::Alignment align) {
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(align | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        };
        put(0, row.total ? QString() : QString::number(row.code), Qt::AlignRight);
        put(1, toQString(row.name), Qt::AlignLeft);
        for (int k = 0; k < static_cast<int>(row.counts.size()); ++k) {
            put(k + 2, QString::number(row.counts[k]), Qt::AlignHCenter);
            table_->setColumnWidth(k + 2, charWidth * 6);
        }
    }
    rows_->setText(t.rows.empty() ? QString() : "Всего строк: " + QString::number(t.rowCount()));
}

}  // namespace tavir::ui
