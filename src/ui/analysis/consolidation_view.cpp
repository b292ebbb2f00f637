#include "ui/analysis/consolidation_view.h"

#include "platform/number_format.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "ui/exchange/export_path_dialog.h"
#include "ui/maintenance/print_params_window.h"
#include "ui/platform/desktop_opener_qt.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavir::ui {

namespace {

using analysis::CellChange;
using analysis::ConsolidationColumn;

QColor kindColour(int kind) {
    switch (kind) {
        case analysis::kYearStartColumn: return QColor(215, 255, 255);
        case analysis::kPeriodStartColumn: return QColor(219, 255, 219);
        case analysis::kPeriodEndColumn: return QColor(243, 214, 238);
        default: return {};
    }
}

// How a change against the year before shows.
QColor changeColour(CellChange::State state) {
    switch (state) {
        case CellChange::Beyond: return QColor(255, 196, 140);
        case CellChange::NewNow: return QColor(190, 215, 255);
        case CellChange::GoneNow: return QColor(215, 215, 215);
        default: return {};
    }
}

// Dialog units are a quarter of the average character width.
int pixels(const QWidget* w, int units) { return units * w->fontMetrics().averageCharWidth() / 4 + 8; }

}  // namespace

ConsolidationView::ConsolidationView(const data::Installation& installation, app::SharedState& state,
                                     const InteractionFactory& interactions, registry::AnalysisRequest request,
                                     QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      ui_(interactions(this)),
      controlViews_(this),
      opener_(std::make_unique<QtDesktopOpener>()),
      model_(std::make_unique<analysis::ConsolidationWindow>(installation_, state, *ui_, std::move(request))),
      export_(std::make_unique<exchange::ConsolidatedExport>(installation_, state, *ui_)),
      table_(new QLabel(this)),
      tableName_(new QLabel(this)),
      rowName_(new QLabel(this)),
      grid_(new QTableWidget(this)),
      next_(namedButton(this, "?NEXT", "Следующая таблица")),
      previous_(namedButton(this, "?PREVIOUS", "Предыдущая таблица")),
      control_(namedButton(this, "?CONTROL", "Контроль")),
      filled_(new QCheckBox("только заполненные строки", this)),
      deviation_(new QCheckBox("Отклонение", this)),
      threshold_(new QDoubleSpinBox(this)) {
    setObjectName("Consolidation");
    const registry::AnalysisRequest& r = model_->request();
    setWindowTitle(toQString(model_->caption()));

    auto* year = new QLabel(QString::number(r.year), this);
    year->setObjectName("?YEAR");
    auto* lower = new QLabel(QString::number(r.lower), this);
    lower->setObjectName("?LOWER");
    auto* upper = new QLabel(QString::number(r.upper), this);
    upper->setObjectName("?UPPER");
    auto* title = new QLabel(toQString(r.title), this);
    title->setObjectName("?TITLE");
    title->setWordWrap(true);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    table_->setObjectName("?TABLE");
    tableName_->setObjectName("?TABLENAME");
    tableName_->setWordWrap(true);
    rowName_->setObjectName("?ROWNAME");
    rowName_->setWordWrap(true);

    grid_->setObjectName("?BROWSE");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        const auto& rows = model_->grid();
        rowName_->setText(row >= 0 && row < static_cast<int>(rows.size()) ? toQString(rows[row].name) : QString());
    });

    QPushButton* choose = namedButton(this, "?CHOOSETABLE", "Выбор таблицы");
    connect(choose, &QPushButton::clicked, this, [this] {
        model_->chooseTable();
        showTable();
    });
    connect(next_, &QPushButton::clicked, this, [this] {
        model_->nextTable();
        showTable();
    });
    connect(previous_, &QPushButton::clicked, this, [this] {
        model_->previousTable();
        showTable();
    });
    filled_->setObjectName("?FILLED");
    connect(filled_, &QCheckBox::toggled, this, [this](bool on) {
        model_->setFilledOnly(on);
        showTable();
    });
    control_->setToolTip("Внутриформенные контроли");
    connect(control_, &QPushButton::clicked, this, [this] { model_->control(controlViews_); });
    QPushButton* print = namedButton(this, "?PRINT", "Печать");
    print->setToolTip("Печать отчета");
    connect(print, &QPushButton::clicked, this,
            [this] { printReport(installation_, model_->printRequest(), *ui_, this); });
    QPushButton* excel = namedButton(this, "?EXCEL", "Excel");
    excel->setToolTip("Выгрузка данной таблицы в Excel");
    connect(excel, &QPushButton::clicked, this, [this] {
        platform::SpreadsheetServer server(*opener_);
        model_->exportTable(server);
    });
    QPushButton* exportButton = namedButton(this, "?EXPORT", "Экспорт свода");
    connect(exportButton, &QPushButton::clicked, this, [this] {
        if (!export_->open()) return;
        ExportPathDialog dialog(export_->candidates(), export_->exchangePath(), export_->year(), this);
        if (dialog.exec() != QDialog::Accepted) return;
        export_->setExchangePath(dialog.path());
        export_->write(model_->request().form, model_->exportPeriod(), model_->exportRows());
    });
    deviation_->setObjectName("?DEVIATION");
    deviation_->setToolTip("Отклонение данных к прошлому году");
    connect(deviation_, &QCheckBox::toggled, this, [this](bool on) {
        model_->setComparing(on);
        if (on && !model_->comparing()) {
            const QSignalBlocker block(deviation_);
            deviation_->setChecked(false);
        }
        showTable();
    });
    threshold_->setObjectName("?THRESHOLD");
    threshold_->setRange(0, 1000);
    threshold_->setDecimals(1);
    threshold_->setSuffix(" %");
    threshold_->setPrefix("± ");
    threshold_->setValue(model_->threshold());
    threshold_->setToolTip("Отклонение от прошлого года, с которого значение выделяется");
    connect(threshold_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        model_->setThreshold(value);
        if (model_->comparing()) showGrid();
    });

    auto* legend = new QHBoxLayout;
    auto* legendCaption = new QLabel("Типы граф:", this);
    legendCaption->setObjectName("?LEGEND");
    legend->addWidget(legendCaption);
    for (auto [kind, name] : {std::pair{analysis::kYearStartColumn, "на начало года"},
                              {analysis::kPeriodStartColumn, "на начало периода"},
                              {analysis::kPeriodEndColumn, "на конец периода"}}) {
        auto* label = new QLabel(name, this);
        label->setAutoFillBackground(true);
        label->setContentsMargins(6, 2, 6, 2);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, kindColour(kind));
        label->setPalette(p);
        legend->addWidget(label);
    }
    legend->addStretch(1);

    auto* head = new QGridLayout;
    head->addWidget(new QLabel("Год", this), 0, 0);
    head->addWidget(year, 0, 1);
    head->addWidget(new QLabel("Период с", this), 0, 2);
    head->addWidget(lower, 0, 3);
    head->addWidget(new QLabel("по", this), 0, 4);
    head->addWidget(upper, 0, 5);
    head->addWidget(title, 0, 6);
    head->addWidget(new QLabel("Таблица", this), 1, 0);
    head->addWidget(table_, 1, 1);
    head->addWidget(tableName_, 1, 2, 1, 5);
    head->setColumnStretch(6, 1);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{choose, previous_, next_, filled_, control_, print, excel,
                                                      exportButton, deviation_, threshold_}) {
        buttons->addWidget(w);
    }
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(legend);
    layout->addWidget(rowName_);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    resize(1000, 620);
}

bool ConsolidationView::open() {
    platform::Status st;
    {
        auto progress = ui_->progress("Свод");
        st = model_->open(progress.get());
    }
    if (!st) return false;
    showTable();
    return true;
}

void ConsolidationView::showTable() {
    const analysis::ConsolidationTable& t = model_->currentTable();
    table_->setText(QString::number(t.code));
    tableName_->setText(toQString(t.name));
    next_->setEnabled(model_->hasNext());
    previous_->setEnabled(model_->hasPrevious());
    control_->setEnabled(model_->controlAvailable());
    {
        const QSignalBlocker block(filled_);
        filled_->setChecked(model_->filledOnly());
    }
    threshold_->setEnabled(model_->comparing());
    showGrid();
}

QString ConsolidationView::cellText(int row, const ConsolidationColumn& column) const {
    const analysis::ConsolidationGridRow& r = model_->grid()[static_cast<size_t>(row)];
    switch (column.role) {
        case ConsolidationColumn::RowCode: return toQString(r.code).trimmed();
        case ConsolidationColumn::Mark: return toQString(r.mark);
        case ConsolidationColumn::Name: return toQString(r.name);
        case ConsolidationColumn::SexDiagnosis: return toQString(r.sexDiagnosis);
        case ConsolidationColumn::Sex: return toQString(platform::cutToWidth(r.sexDiagnosis, 1));
        case ConsolidationColumn::Wide15: return {};
        case ConsolidationColumn::Value: break;
    }
    const platform::Decimal value = r.values[static_cast<size_t>(column.valueIndex - 1)];
    const platform::Picture picture = platform::parsePicture(column.picture);
    QString text = value.isZero() ? QString() : toQString(platform::formatPictureOrPlain(picture, value)).trimmed();
    if (model_->comparing()) {
        const CellChange change = model_->change(row, column.valueIndex);
        if (change.state == CellChange::Same || change.state == CellChange::Beyond) {
            text += QString(" (%1%2%)").arg(change.percent >= 0 ? "+" : "").arg(change.percent, 0, 'f', 1);
        } else if (change.state == CellChange::NewNow) {
            text += " (нов.)";
        } else if (change.state == CellChange::GoneNow) {
            text = "0 (было " + toQString(platform::formatPictureOrPlain(picture, model_->previousValue(row, column.valueIndex))).trimmed() + ")";
        }
    }
    return text;
}

void ConsolidationView::showGrid() {
    const auto& columns = model_->columns();
    const auto& rows = model_->grid();
    grid_->clear();
    grid_->setColumnCount(static_cast<int>(columns.size()));
    grid_->setRowCount(static_cast<int>(rows.size()));
    QStringList headings;
    for (const auto& c : columns) headings << toQString(c.heading);
    grid_->setHorizontalHeaderLabels(headings);
    const int widthFactor = model_->comparing() ? 2 : 1;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const ConsolidationColumn& column = columns[static_cast<size_t>(c)];
        grid_->setColumnWidth(c, pixels(this, column.role == ConsolidationColumn::Value ? column.width * widthFactor
                                                                                        : column.width));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            auto* item = new QTableWidgetItem(cellText(r, column));
            if (column.role == ConsolidationColumn::Value) {
                item->setTextAlignment((column.centred ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);
                QColor background = kindColour(column.kind);
                if (model_->comparing()) {
                    const CellChange change = model_->change(r, column.valueIndex);
                    if (QColor highlight = changeColour(change.state); highlight.isValid()) background = highlight;
                    item->setToolTip("Прошлый год: " +
                                     toQString(platform::formatNumber(model_->previousValue(r, column.valueIndex))));
                }
                if (background.isValid()) item->setBackground(background);
            } else if (column.role == ConsolidationColumn::Mark) {
                item->setForeground(Qt::red);
            } else if (column.role == ConsolidationColumn::Name) {
                item->setBackground(QColor(255, 255, 230));
                item->setToolTip(toQString(rows[static_cast<size_t>(r)].name));
            }
            grid_->setItem(r, c, item);
        }
    }
    if (!rows.empty()) grid_->setCurrentCell(0, 0);
    rowName_->setText(rows.empty() ? QString() : toQString(rows[0].name));
}

}  // namespace tavir::ui
