#include "ui/entry/report_window.h"

#include "analysis/table_export.h"
#include "maintenance/report_print.h"
#include "platform/number_format.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "ui/app/help_window.h"
#include "ui/entry/row_window.h"
#include "ui/maintenance/print_params_window.h"
#include "ui/platform/desktop_opener_qt.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"
#include "ui/platform/window_positions.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace tavir::ui {

namespace {

constexpr const char* kDefaultCaption = "Медицинская статистика.Годовая отчетность";
constexpr int kFixedColumns = 4;  // row code, error mark, name, sex or codes

QString trimmed(std::string_view text) { return toQString(platform::trimRight(text)); }

}  // namespace

// The grid rows of the current table: four descriptive columns, then one
// column per value column of the table (25 at most).
class ReportGridModel : public QAbstractTableModel {
public:
    ReportGridModel(platform::Interaction& ui, QObject* parent) : QAbstractTableModel(parent), ui_(ui) {}

    void setEditor(entry::ReportEditor* editor) { editor_ = editor; }

    void rebuild() {
        beginResetModel();
        values_.clear();
        if (editor_) {
            const int count = std::min(editor_->currentTable().A, entry::kValueCount);
            for (int i = 0; i < count; ++i) {
                if (editor_->columns()[i].present) values_.push_back(i);
            }
        }
        endResetModel();
    }
    void refreshAll() {
        if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    // Value index (0-based) of a grid column, or -1 for a descriptive one.
    int valueIndex(int column) const {
        return column < kFixedColumns || column - kFixedColumns >= static_cast<int>(values_.size())
                   ? -1
                   : values_[column - kFixedColumns];
    }
    int valueColumns() const { return static_cast<int>(values_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !editor_ ? 0 : static_cast<int>(editor_->grid().size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kFixedColumns + valueColumns();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!editor_ || !index.isValid()) return {};
        const entry::GridRow& row = editor_->grid()[index.row()];
        const int column = index.column();
        const int value = valueIndex(column);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                switch (column) {
                    case 0: return trimmed(row.CODSTR);
                    case 1: return toQString(row.ERROR);
                    case 2: return toQString(platform::cutToWidth(row.S, 100));
                    case 3: return toQString(platform::cutToWidth(row.POL, editor_->hasDiagnosisCodes() ? 30 : 1));
                    default: {
                        if (value < 0) return {};
                        const std::string text = platform::formatPicture(editor_->columns()[value].picture, row.DATA[value]);
                        return toQString(text).trimmed();
                    }
                }
            case Qt::TextAlignmentRole:
                if (column == 3 && !editor_->hasDiagnosisCodes()) return int(Qt::AlignCenter);
                if (value >= 0) {
                    return int(column == columnCount() - 1 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
                }
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            case Qt::BackgroundRole:
                if (column == 2) return QColor(255, 255, 230);
                return {};
            case Qt::ForegroundRole:
                if (column == 1) return QColor(Qt::red);
                return {};
            case Qt::ToolTipRole:
                // Names cut by their columns show in full.
                if (column == 2) return trimmed(row.S);
                if (column == 3) return trimmed(row.POL);
                return {};
            default: return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& data, int role) override {
        const int value = valueIndex(index.column());
        if (!editor_ || role != Qt::EditRole || value < 0) return false;
        auto parsed = editor_->readTyped(value + 1, toStdString(data.toString()));
        if (!parsed) return false;
        editor_->setValue(index.row(), value + 1, *parsed);
        // The row's error mark follows its values.
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (editor_ && editor_->byColumns() && valueIndex(index.column()) >= 0) f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || !editor_) return {};
        if (role == Qt::ToolTipRole) {
            if (section < kFixedColumns) return {};
            const entry::ColumnAttr& c = editor_->columns()[valueIndex(section)];
            return QString::number(c.COD) + " " + trimmed(c.NAME);
        }
        if (role != Qt::DisplayRole) return {};
        switch (section) {
            case 0: return "Nстроки";
            case 1: return "Ош.";
            case 2: return "Название";
            case 3: return QString();
            default: {
                // The number on a line of its own stays visible however
                // narrow the column is.
                const entry::ColumnAttr& c = editor_->columns()[valueIndex(section)];
                return QString::number(c.COD) + "\n" + toQString(platform::cutToWidth(c.NAMEL, 15));
            }
        }
    }

private:
    platform::Interaction& ui_;
    entry::ReportEditor* editor_ = nullptr;
    std::vector<int> values_;
};

namespace {

// The in-place editor of column mode: an entry over the cell that takes
// only what can become a number. Enter and Down store the value and move the
// editor one row down; a second double click closes it. A value the column
// cannot hold keeps the editor open with the typed text after the model's
// beep and message.
class ValueDelegate : public QStyledItemDelegate {
public:
    // Whether the cell takes the text; with `tell` a refusal beeps and says why.
    using Reads = std::function<bool(const QModelIndex&, const QString&, bool tell)>;
    ValueDelegate(std::function<void()> down, Reads reads, QObject* parent)
        : QStyledItemDelegate(parent), down_(std::move(down)), reads_(std::move(reads)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName("?EDITOR");
        edit->setAlignment(Qt::AlignRight);
        edit->setValidator(numberValidator(edit));
        open_ = edit;
        editing_ = index;
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        QStyledItemDelegate::setEditorData(editor, index);
        // Typing replaces the value shown.
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->selectAll();
    }

    // A closed editor is hidden at once and deleted later.
    bool isOpen() const { return open_ && open_->isVisible(); }
    // Stores the open editor's value and closes it; false when none is open.
    // A refused value keeps the editor open.
    bool closeOpen() {
        if (!isOpen()) return false;
        QWidget* edit = open_;
        if (accepted(edit)) finish(edit);
        return true;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* edit = qobject_cast<QLineEdit*>(object);
        if (!edit) return QStyledItemDelegate::eventFilter(object, event);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
                if (accepted(edit)) {
                    finish(edit);
                    QTimer::singleShot(0, this, [this] { down_(); });
                }
                return true;
            }
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            if (accepted(edit)) finish(edit);
            return true;
        }
        if (event->type() == QEvent::FocusOut && !reads_(editing_, edit->text(), false)) {
            // The user left a value the column cannot hold: say so and come
            // back to it. Focus taken by a message or another window leaves
            // the editor as it is.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                accepted(edit);
                edit->setFocus();
            }
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    bool accepted(QWidget* editor) { return reads_(editing_, static_cast<QLineEdit*>(editor)->text(), true); }
    void finish(QWidget* edit) {
        emit commitData(edit);
        emit closeEditor(edit, QAbstractItemDelegate::NoHint);
    }

    std::function<void()> down_;
    Reads reads_;
    mutable QPointer<QWidget> open_;
    mutable QPersistentModelIndex editing_;
};

}  // namespace

ReportWindow::ReportWindow(const data::Installation& installation, app::SharedState& state,
                           const InteractionFactory& interactions, std::optional<entry::ChosenReport> report,
                           int* callerDistrict, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      state_(state),
      interactions_(interactions),
      controlViews_(this),
      ui_(interactions(this)),
      given_(std::move(report)),
      callerDistrict_(callerDistrict),
      opener_(std::make_unique<QtDesktopOpener>()) {
    setObjectName("ReportEntry");
    setWindowTitle(kDefaultCaption);

    auto display = [this](const char* name, int chars) {
        auto* field = new QLineEdit(this);
        field->setObjectName(name);
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
        if (chars > 0) field->setFixedWidth(fontMetrics().averageCharWidth() * (chars + 1) + 10);
        return field;
    };
    formText_ = new QLabel(this);
    formText_->setObjectName("?STRING2");
    tableText_ = new QLabel(this);
    tableText_->setObjectName("?STRING1");
    // Long names wrap instead of widening the window past the screen.
    for (QLabel* text : {formText_, tableText_}) {
        text->setWordWrap(true);
        text->setMinimumWidth(fontMetrics().averageCharWidth() * 20);
    }
    formNumber_ = display("?FORCOD", 10);
    periodWord_ = display("?MESS:2", 10);
    periodCode_ = display("?MES:2", 8);
    periodName_ = display("?NAMEMES", 20);
    facility_ = display("?LOCCODUCH", 6);
    year_ = display("?LOCGLOBYEAR", 4);
    rowName_ = display("?QT:S", 0);
    rowSex_ = display("?QT:POL", 30);

    lpu_ = button("?LPU", "ЛПУ", "ВЫБОР УЧРЕЖДЕНИЯ", &ReportWindow::otherFacility);
    newForm_ = button("?NEWFORM", "Форма", "ВЫБОР ФОРМЫ и смена периода", &ReportWindow::otherForm);
    byColumns_ = new QCheckBox("Ввод по колонкам", this);
    byColumns_->setObjectName("?WWODCOL");
    byColumns_->setFocusPolicy(Qt::NoFocus);
    controlsOff_ = new QCheckBox("ОтключитьКонтроль при вводе данных", this);
    controlsOff_->setObjectName("?LOCCONTR");
    controlsOff_->setFocusPolicy(Qt::NoFocus);
    QPushButton* putTable = button("?PUTTABL", "СохранитьТаблицу", QString(), &ReportWindow::saveTable);
    QPushButton* newTable = button("?NEWTABL", "Таблица", QString(), &ReportWindow::chooseTable);
    down_ = button("?DNTABL", QString(), "Следующая таблица", &ReportWindow::nextTable);
    down_->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    up_ = button("?UPTABL", QString(), "Предыдущая таблица", &ReportWindow::previousTable);
    up_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    QPushButton* del = button("?DEL1", "Удалить отчет", "Удалить весь отчет", &ReportWindow::deleteReport);
    carry_ = button("?F342_OCT", "Перенос  остатков(задолж.)  с прошлого месяца", QString(), &ReportWindow::carryOver);
    QPushButton* print = button("?PRNT1", QString(), "Печать", &ReportWindow::print);
    print->setIcon(QIcon::fromTheme("document-print", style()->standardIcon(QStyle::SP_FileIcon)));
    QPushButton* save = button("?SAVEOTH", QString(), "Сохранить отчет", &ReportWindow::saveReport);
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    QPushButton* controls = button("?CONTRS", "Контроль", "Внутриформенный контроль", &ReportWindow::runControls);
    QPushButton* help = button("?HELP_", QString(), "Справка", &ReportWindow::showHelp);
    help->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    QPushButton* clear = button("?CLEARTABL", "Очистить таблицу", QString(), &ReportWindow::clearTable);
    QPushButton* calc = button("?RT", "Расчет таблиц", "Расчет итоговых строк и граф", &ReportWindow::calculate);
    QPushButton* excel = button("?EXCEL", QString(), "Выгрузка таблицы в Excel", &ReportWindow::exportTable);
    excel->setIcon(QIcon::fromTheme("x-office-spreadsheet", style()->standardIcon(QStyle::SP_FileDialogContentsView)));
    QPushButton* empty = button("?SAVEOTHNUL", "Сохранить пустой отчет и выйти", QString(), &ReportWindow::emptyReport);

    gridModel_ = new ReportGridModel(*ui_, this);
    grid_ = new QTableView(this);
    grid_->setObjectName("?BROWSE:1");
    grid_->setModel(gridModel_);
    grid_->setItemDelegate(new ValueDelegate(
        [this] { editNextRow(); },
        [this](const QModelIndex& index, const QString& text, bool tell) {
            const int value = gridModel_->valueIndex(index.column());
            if (!editor_ || value < 0) return true;
            const std::string typed = toStdString(text);
            if (tell) return editor_->readTyped(value + 1, typed).has_value();
            return platform::parsePictureInput(editor_->columns()[value].picture, typed).has_value();
        },
        grid_));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    grid_->setWordWrap(false);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // Widths the user drags are kept for the table; the name column then
    // takes at least what the user gave it.
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int width) {
        if (layingOut_ || !editor_) return;
        if (section == 2) nameMinimum_ = width;
        if (section < kFixedColumns) updateFrozen();
        QList<int> widths;
        for (int c = 0; c < gridModel_->columnCount(); ++c) widths.push_back(grid_->columnWidth(c));
        WindowPositions(installation_.iniFile()).saveColumnWidths(gridKey(), widths);
    });
    auto doubleClicked = [this](const QModelIndex& index) {
        if (!editor_ || !index.isValid()) return;
        if (!editor_->byColumns() || index.column() < kFixedColumns) {
            openRowWindow(index.row());
        } else {
            grid_->edit(index);
        }
    };
    connect(grid_, &QTableView::doubleClicked, this, doubleClicked);

    // In column mode the descriptive columns stay in place while the value
    // columns scroll: a second view of the same rows lies over the grid's
    // left part.
    frozen_ = new QTableView(grid_);
    frozen_->setObjectName("?FROZEN");
    frozen_->setModel(gridModel_);
    frozen_->setSelectionModel(grid_->selectionModel());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setWordWrap(false);
    frozen_->verticalHeader()->hide();
    frozen_->verticalHeader()->setDefaultSectionSize(grid_->verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->hide();
    connect(frozen_, &QTableView::doubleClicked, this, doubleClicked);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, grid_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                keepClearOfFrozen(current);
                if (editor_ && current.isValid()) editor_->setCurrentRow(current.row());
                showCurrentRow();
            });
    connect(byColumns_, &QCheckBox::toggled, this, [this](bool on) { setColumnMode(on); });
    connect(controlsOff_, &QCheckBox::toggled, this, [this](bool on) {
        if (editor_) editor_->setControlsOff(on);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(formText_, 1);
    for (auto [label, field] : {std::pair{"Форма", formNumber_}, {"", periodWord_}, {"", periodCode_},
                                {"", periodName_}, {"ЛПУ", facility_}, {"Год", year_}}) {
        if (*label) top->addWidget(new QLabel(label, this));
        top->addWidget(field);
    }
    // Three rows of buttons, each as wide as its text or icon, so that the
    // window fits a small screen with every button whole.
    auto* buttons = new QVBoxLayout;
    for (const auto& row : {std::initializer_list<QWidget*>{lpu_, newForm_, putTable, newTable, up_, down_, del, print,
                                                            save, controls, help},
                            std::initializer_list<QWidget*>{byColumns_, controlsOff_, carry_},
                            std::initializer_list<QWidget*>{clear, calc, excel, empty}}) {
        auto* line = new QHBoxLayout;
        for (QWidget* w : row) line->addWidget(w);
        line->addStretch(1);
        buttons->addLayout(line);
    }
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(rowName_, 1);
    bottom->addWidget(rowSex_);
    auto* status = new QStatusBar(this);
    status->setObjectName("?STATUS");
    status->setSizeGripEnabled(false);
    status->showMessage("Enter-редактирование строки");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(tableText_);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    layout->addWidget(status);
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 36);
}

ReportWindow::~ReportWindow() = default;

QPushButton* ReportWindow::button(const char* name, const QString& text, const QString& tip,
                                  void (ReportWindow::*action)()) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    if (!tip.isEmpty()) b->setToolTip(tip);
    // The buttons act on a mouse click; the keyboard stays with the grid.
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    return b;
}

bool ReportWindow::open() {
    std::optional<entry::ChosenReport> report = given_;
    if (!report) {
        if (!entry::selectReport(state_, installation_, *ui_, report) || !report) return false;
    }
    editor_ = std::make_unique<entry::ReportEditor>(installation_, *ui_, state_, *report, callerDistrict_);
    gridModel_->setEditor(editor_.get());
    if (!editor_->start()) return false;
    rebuildGrid();
    refresh();
    grid_->setFocus();
    return true;
}

void ReportWindow::afterAction() {
    if (!editor_) return;
    if (editor_->ended()) {
        closeWithFrame(this);
        return;
    }
    if (shownForm_ != editor_->report().formCode || shownTable_ != editor_->currentTable().CODTABL) rebuildGrid();
    refresh();
}

void ReportWindow::rebuildGrid() {
    shownForm_ = editor_->report().formCode;
    shownTable_ = editor_->currentTable().CODTABL;
    gridModel_->rebuild();
    // Widths in dialog units: a quarter of the average character width.
    const double unit = fontMetrics().averageCharWidth() / 4.0;
    auto px = [unit](int units) { return static_cast<int>(units * unit + 0.5); };
    const bool few = editor_->currentTable().A < 5;
    QHeaderView* header = grid_->horizontalHeader();
    layingOut_ = true;
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->setStretchLastSection(false);
    // The fixed columns are as wide as their headers at least.
    const QFontMetrics headerFont(header->font());
    grid_->setColumnWidth(0, std::max(px(16), headerFont.horizontalAdvance("Nстроки")) + 8);
    grid_->setColumnWidth(1, std::max(px(7), headerFont.horizontalAdvance("Ош.")) + 8);
    grid_->setColumnWidth(2, px(few ? 160 : 80));
    grid_->setColumnWidth(3, px(editor_->hasDiagnosisCodes() ? (few ? 40 : 25) : 7) + 6);
    // Value columns are 43 units wide at least, and wide enough for their
    // short headings.
    for (int c = kFixedColumns; c < gridModel_->columnCount(); ++c) {
        const QString heading = gridModel_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        int needed = 0;
        for (const QString& line : heading.split('\n')) needed = std::max(needed, headerFont.horizontalAdvance(line));
        grid_->setColumnWidth(c, std::max(px(43), needed + 12));
    }
    nameMinimum_ = grid_->columnWidth(2);
    // Widths the user dragged for this table before.
    const QList<int> kept = WindowPositions(installation_.iniFile()).columnWidths(gridKey());
    if (kept.size() == gridModel_->columnCount()) {
        for (int c = 2; c < kept.size(); ++c) grid_->setColumnWidth(c, kept[c]);
        nameMinimum_ = kept[2];
    }
    layingOut_ = false;
    fitNameColumn();
    setColumnMode(editor_->byColumns());
}

void ReportWindow::updateFrozen() {
    if (!frozen_) return;
    if (!editor_ || !editor_->byColumns()) {
        frozen_->hide();
        return;
    }
    int width = 0;
    for (int c = 0; c < gridModel_->columnCount(); ++c) {
        frozen_->setColumnHidden(c, c >= kFixedColumns);
        if (c < kFixedColumns) {
            frozen_->setColumnWidth(c, grid_->columnWidth(c));
            width += grid_->columnWidth(c);
        }
    }
    frozen_->horizontalHeader()->setFixedHeight(grid_->horizontalHeader()->height());
    frozen_->setGeometry(grid_->frameWidth(), grid_->frameWidth(), width,
                         grid_->viewport()->height() + grid_->horizontalHeader()->height());
    frozen_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->value());
    frozen_->show();
}

void ReportWindow::keepClearOfFrozen(const QModelIndex& current) {
    if (!frozen_ || !frozen_->isVisible() || !current.isValid() || current.column() < kFixedColumns) return;
    const int hidden = frozen_->width() - grid_->visualRect(current).left();
    if (hidden > 0) grid_->horizontalScrollBar()->setValue(grid_->horizontalScrollBar()->value() - hidden);
}

QString ReportWindow::gridKey() const {
    return QString("Grid_%1_%2").arg(editor_->report().formCode).arg(editor_->currentTable().CODTABL);
}

void ReportWindow::fitNameColumn() {
    if (!editor_ || gridModel_->columnCount() <= 2) return;
    int others = 0;
    for (int c = 0; c < gridModel_->columnCount(); ++c) {
        if (c != 2) others += grid_->columnWidth(c);
    }
    const int spare = grid_->viewport()->width() - others;
    layingOut_ = true;
    grid_->setColumnWidth(2, std::max(nameMinimum_, spare));
    layingOut_ = false;
}

void ReportWindow::refresh() {
    const entry::ChosenReport& r = editor_->report();
    setWindowTitle(toQString(editor_->caption()));
    formText_->setText(QString::number(r.formCode) + " " + trimmed(r.formName));
    tableText_->setText(QString::number(editor_->currentTable().CODTABL) + " " + trimmed(editor_->currentTable().NAME));
    formNumber_->setText(trimmed(r.formNumber));
    periodWord_->setText(toQString(r.periodWord));
    periodCode_->setText(toQString(editor_->periodCodeText()));
    periodName_->setText(toQString(editor_->periodName()));
    facility_->setText(QString::number(r.facility));
    year_->setText(QString::number(r.year));
    lpu_->setEnabled(editor_->canChangeReport());
    newForm_->setEnabled(editor_->canChangeReport());
    up_->setEnabled(!editor_->isFirstTable());
    down_->setEnabled(!editor_->isLastTable());
    carry_->setVisible(editor_->carryOverShown());
    {
        const QSignalBlocker blockColumns(byColumns_);
        const QSignalBlocker blockControls(controlsOff_);
        byColumns_->setChecked(editor_->byColumns());
        controlsOff_->setChecked(editor_->controlsOff());
    }
    formText_->setToolTip(formText_->text());
    tableText_->setToolTip(tableText_->text());
    gridModel_->refreshAll();
    const int row = editor_->currentRow();
    if (row < gridModel_->rowCount()) {
        QModelIndex current = grid_->currentIndex();
        const int column = current.isValid() ? current.column() : (editor_->byColumns() ? kFixedColumns : 0);
        if (!current.isValid() || current.row() != row) grid_->setCurrentIndex(gridModel_->index(row, column));
    }
    showCurrentRow();
    // A shown button (carry-over) or another form may need more room.
    if (isVisible()) fitIntoView(this);
}

void ReportWindow::showCurrentRow() {
    if (!editor_ || editor_->grid().empty()) return;
    const entry::GridRow& row = editor_->grid()[editor_->currentRow()];
    rowName_->setText(trimmed(row.S));
    rowSex_->setText(trimmed(row.POL));
}

void ReportWindow::setColumnMode(bool on) {
    if (!editor_) return;
    editor_->setByColumns(on);
    grid_->setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    grid_->setEditTriggers(on ? QAbstractItemView::AnyKeyPressed : QAbstractItemView::NoEditTriggers);
    grid_->setHorizontalScrollMode(on ? QAbstractItemView::ScrollPerPixel : QAbstractItemView::ScrollPerItem);
    updateFrozen();
    const int row = std::max(0, grid_->currentIndex().row());
    if (gridModel_->rowCount() > 0) {
        const int column = on ? (gridModel_->valueColumns() > 0 ? kFixedColumns : 0) : 0;
        grid_->setCurrentIndex(gridModel_->index(row, column));
    }
    grid_->setFocus();
}

void ReportWindow::editNextRow() {
    const QModelIndex current = grid_->currentIndex();
    if (current.isValid() && current.row() + 1 < gridModel_->rowCount()) {
        const QModelIndex next = gridModel_->index(current.row() + 1, current.column());
        grid_->setCurrentIndex(next);
        grid_->edit(next);
    } else {
        grid_->setFocus();
    }
}

void ReportWindow::openRowWindow(int row) {
    if (!editor_ || rowWindow_ || row < 0 || row >= gridModel_->rowCount()) return;
    rowWindow_ = new RowWindow(*editor_, *ui_, row, this);
    rowWindow_->setAttribute(Qt::WA_DeleteOnClose);
    connect(rowWindow_, &QDialog::finished, this, [this] {
        rowWindow_ = nullptr;
        afterAction();
        grid_->setFocus();
    });
    rowWindow_->open();
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::Resize) {
        fitNameColumn();
        updateFrozen();
    }
    if (watched == grid_ && event->type() == QEvent::KeyPress &&
        !static_cast<ValueDelegate*>(grid_->itemDelegate())->isOpen()) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openRowWindow(grid_->currentIndex().row());
            return true;
        }
        // In column mode a typed number opens the cell's editor with what was
        // typed; other characters would only jump between rows by their names.
        const QString text = keyEvent->text();
        if (editor_ && editor_->byColumns() && !text.isEmpty() && text.at(0).isPrint() &&
            !platform::isPartialNumberInput(text.trimmed().toStdString())) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ReportWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitIntoView(this);
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4) {
        chooseTable();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void ReportWindow::closeEvent(QCloseEvent* event) {
    // With the in-place editor open, closing closes only the editor.
    if (auto* delegate = static_cast<ValueDelegate*>(grid_->itemDelegate()); delegate->closeOpen()) {
        event->ignore();
        return;
    }
    if (editor_ && !editor_->ended() && !editor_->close()) {
        event->ignore();
        return;
    }
    event->accept();
}

void ReportWindow::otherFacility() {
    editor_->otherFacility();
    afterAction();
}
void ReportWindow::otherForm() {
    editor_->otherForm();
    afterAction();
}
void ReportWindow::saveTable() {
    editor_->saveTable();
    afterAction();
}
void ReportWindow::chooseTable() {
    if (!editor_ || rowWindow_) return;
    editor_->chooseTable();
    afterAction();
}
void ReportWindow::nextTable() {
    editor_->nextTable();
    afterAction();
}
void ReportWindow::previousTable() {
    editor_->previousTable();
    afterAction();
}
void ReportWindow::deleteReport() {
    editor_->deleteReport();
    afterAction();
}
void ReportWindow::carryOver() {
    editor_->carryOverBalances();
    afterAction();
}
void ReportWindow::saveReport() {
    editor_->saveReport();
    afterAction();
}
void ReportWindow::runControls() {
    editor_->runControls(controlViews_);
    afterAction();
}
void ReportWindow::print() {
    printReport(installation_, maintenance::editorPrintRequest(*editor_, editor_->caption()), *ui_, this);
    afterAction();
}
void ReportWindow::exportTable() {
    platform::SpreadsheetServer server(*opener_);
    analysis::TableExportInput input;
    if (platform::Status st = analysis::editorTableExport(installation_, *editor_, input); !st) {
        analysis::WorkCopy none;
        analysis::finishExport(server, *ui_, none, st);
        return;
    }
    analysis::exportTable(server, *ui_, installation_, analysis::directStartFolder(), input);
}
void ReportWindow::showHelp() {
    // A window of its own that ends with the entry window.
    auto* window = new HelpWindow(installation_, interactions_, 1, false, QString(), this);
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}
void ReportWindow::clearTable() {
    editor_->clearTable();
    afterAction();
}
void ReportWindow::calculate() {
    editor_->calculate();
    afterAction();
}
void ReportWindow::emptyReport() {
    editor_->emptyReport();
    afterAction();
}

}  // namespace tavir::ui
