#include "analysis/consolidation_window.h"

#include "analysis/spreadsheet_export.h"
#include "analysis/table_export.h"
#include "controls/rules.h"
#include "controls/evaluation.h"
#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>

namespace tavir::analysis {

using platform::Decimal;
using platform::Status;

namespace {

constexpr int kCodeWidth = 8;
constexpr int kNameWidth = 150;
constexpr int kSexDiagnosisWidth = 30;
constexpr int kHeadingNameWidth = 15;
constexpr int kValueColumnWidth = 43;
constexpr int kNameKind = 1;  // GRA:TYPEGR of the row-name column

}  // namespace

std::vector<std::string> storedHeadings(std::string_view layout) {
    std::vector<std::string> headings;
    for (size_t open = layout.find('~'); open != std::string_view::npos; open = layout.find('~', open)) {
        const size_t close = layout.find('~', open + 1);
        if (close == std::string_view::npos) break;
        headings.emplace_back(layout.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return headings;
}

CellChange compareCell(Decimal now, Decimal before, double threshold) {
    if (now.isZero() && before.isZero()) return {CellChange::None, 0};
    if (before.isZero()) return {CellChange::NewNow, 0};
    if (now.isZero()) return {CellChange::GoneNow, 0};
    // Exact difference, one division: the per cent shown is that of the values as stored.
    const double percent = static_cast<double>((now - before).milli()) / std::fabs(static_cast<double>(before.milli())) * 100;
    return {std::fabs(percent) > std::fabs(threshold) ? CellChange::Beyond : CellChange::Same, percent};
}

ConsolidationWindow::ConsolidationWindow(const data::Installation& installation, const app::SharedState& state,
                                         platform::Interaction& ui, registry::AnalysisRequest request)
    : installation_(installation), state_(state), ui_(ui), request_(std::move(request)) {}

Status ConsolidationWindow::open(platform::Progress* progress) {
    if (Status st = consolidate(installation_, request_, consolidation_, progress); !st) {
        ui_.message(st.message());
        return st;
    }
    if (consolidation_.zeroCodes) ui_.message(kZeroCodeMessage);
    if (consolidation_.tables.empty()) {
        const Status st = Status::fail(platform::ErrorKind::NotFound,
                                       "В справочнике нет таблиц формы " + std::to_string(request_.form));
        ui_.message(st.message());
        return st;
    }
    current_ = 0;
    return buildGrid();
}

std::string ConsolidationWindow::caption() const {
    const std::string number(platform::trimRight(request_.formNumber));
    return std::to_string(request_.form) + (number.empty() ? " " : "(" + number + ") ") + request_.formName;
}

Status ConsolidationWindow::chooseTable() {
    platform::PickRequest pick;
    pick.caption = "Таблицы";
    pick.name = "choose_table";
    pick.columns = {{"код", 6, platform::Align::Right}, {"наименование", 60}};
    for (const ConsolidationTable& t : consolidation_.tables) pick.lines.push_back({std::to_string(t.code), t.name});
    pick.startLine = current_;
    const auto chosen = ui_.pick(pick);
    return chosen ? selectTable(*chosen) : Status::ok();
}

Status ConsolidationWindow::selectTable(int index) {
    if (index < 0 || index >= static_cast<int>(consolidation_.tables.size())) return Status::ok();
    current_ = index;
    return buildGrid();
}

Status ConsolidationWindow::nextTable() {
    return hasNext() ? selectTable(current_ + 1) : Status::ok();
}

Status ConsolidationWindow::previousTable() {
    return hasPrevious() ? selectTable(current_ - 1) : Status::ok();
}

void ConsolidationWindow::setFilledOnly(bool on) {
    filledOnly_ = on;
    if (on) {
        hideEmptyRows();
    } else {
        buildGrid();
    }
}

void ConsolidationWindow::hideEmptyRows() {
    // A row whose values cancel out still holds numbers: only rows with no
    // value at all are empty.
    std::erase_if(grid_, [](const ConsolidationGridRow& row) {
        return std::all_of(row.values.begin(), row.values.end(), [](Decimal v) { return v.isZero(); });
    });
}

Status ConsolidationWindow::loadTableLayout() {
    storedLayout_.clear();
    data::RecordFile<data::Sapki> sapki(installation_.sapkiFile(request_.year));
    // The header layouts are optional: a year without its file has none.
    if (!sapki.open()) return Status::ok();
    Status st;
    {
        auto cursor = sapki.equal("KEYIDTAB", {currentTable().unicodt});
        data::Sapki s;
        if (cursor.next(s)) storedLayout_ = std::string(platform::trimRight(s.SS));
        st = cursor.status();
    }
    sapki.close();
    return st;
}

Status ConsolidationWindow::buildGrid() {
    grid_.clear();
    columns_.clear();
    const ConsolidationTable& table = currentTable();
    TableExportInput reference;
    reference.form = request_.form;
    reference.table.CODTABL = table.code;
    auto shown = [this](Status st) {
        if (!st) ui_.message(st.message());
        return st;
    };
    if (Status st = loadTableReference(installation_, request_.year, reference); !st) return shown(st);
    grafa_ = std::move(reference.columns);
    stroka_ = std::move(reference.rows);
    if (Status st = loadTableLayout(); !st) return shown(st);

    bool diagnoses = false;
    for (const data::Stroka& s : stroka_) {
        const ConsolidatedRow* sums = consolidation_.row(s.UNICOD);
        if (filledOnly_ && !sums) continue;
        ConsolidationGridRow row;
        row.code = platform::cutToWidth(s.CODSTR, kCodeWidth);
        row.name = platform::cutToWidth(s.NAME, kNameWidth);
        row.sexDiagnosis = platform::cutToWidth(s.POL + s.CODMKB, kSexDiagnosisWidth);
        row.unicod = s.UNICOD;
        row.number = s.NUMBER;
        if (sums) {
            row.values = sums->values;
            row.consolidated = true;
        }
        diagnoses = diagnoses || !platform::trimRight(s.CODMKB).empty();
        grid_.push_back(std::move(row));
    }
    if (grid_.empty()) {
        ui_.message(kNoRowsMessage);
        return Status::ok();
    }
    std::stable_sort(grid_.begin(), grid_.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    if (filledOnly_) hideEmptyRows();

    // Columns: row code, error mark, the name column, the narrow column
    // before the values, the values.
    columns_.push_back({ConsolidationColumn::RowCode, "Nстроки", 30});
    columns_.push_back({ConsolidationColumn::Mark, "Ош.", 12});
    const auto nameColumn = std::find_if(grafa_.begin(), grafa_.end(), [](const auto& g) { return g.TYPEGR == kNameKind; });
    if (nameColumn != grafa_.end()) {
        columns_.push_back({ConsolidationColumn::Name, nameColumn->NAMEL, table.a > 3 ? 80 : 220});
        if (diagnoses) {
            columns_.push_back({ConsolidationColumn::SexDiagnosis, "", table.a > 4 ? 20 : 35});
        } else {
            columns_.push_back({ConsolidationColumn::Sex, "", 8});
        }
    } else {
        columns_.push_back({ConsolidationColumn::Wide15, "", 40});
        columns_.push_back({ConsolidationColumn::Sex, "", 8});
    }
    for (const data::Grafa& g : grafa_) {
        const int index = g.COD - table.sm;
        if (index < 1 || g.COD > table.sm + table.a || index > kConsolidatedValues) continue;
        ConsolidationColumn c;
        c.role = ConsolidationColumn::Value;
        c.heading = std::to_string(g.COD) + platform::cutToWidth(g.NAMEL, kHeadingNameWidth);
        c.width = kValueColumnWidth;
        c.valueIndex = index;
        c.picture = g.FORMAT;
        c.kind = request_.ignoreColumnKinds ? kPlainColumn : table.kinds[static_cast<size_t>(index - 1)];
        columns_.push_back(std::move(c));
    }
    if (!columns_.empty() && columns_.back().role == ConsolidationColumn::Value) columns_.back().centred = true;
    const std::vector<std::string> stored = storedHeadings(storedLayout_);
    for (size_t i = 0; i < stored.size() && i < columns_.size(); ++i) columns_[i].heading = stored[i];

    // The column rules mark their rows, except while the year before is shown.
    if (comparing()) return Status::ok();
    std::vector<data::ContrGr> rules;
    if (Status st = controls::loadTableColumnRules(installation_, request_.year, request_.form, table.code, rules); !st) {
        return shown(st);
    }
    bool failed = false;
    for (ConsolidationGridRow& row : grid_) {
        const bool bad = controls::checkEntryRow(rules, table.sm, row.code, row.values, true).failed;
        row.mark = bad ? "?" : "";
        failed = failed || bad;
    }
    if (failed) ui_.message(kColumnErrorsMessage);
    return Status::ok();
}

controls::CheckRows ConsolidationWindow::checkRows() const {
    controls::CheckRows rows;
    rows.reserve(consolidation_.rows.size());
    for (const ConsolidatedRow& r : consolidation_.rows) rows.push_back({r.unicod, r.table, r.values});
    return rows;
}

controls::TableList ConsolidationWindow::tableList() const {
    controls::TableList tables;
    for (const ConsolidationTable& t : consolidation_.tables) tables.push_back({t.code, t.sm, t.a});
    return tables;
}

entry::ChooserContext ConsolidationWindow::controlContext() const {
    return {installation_, ui_, request_.year, state_.subject()};
}

Status ConsolidationWindow::control(controls::ControlViews& views) {
    int count = 0;
    return controls::controlRun(controlContext(), views, request_.form, checkRows(), tableList(), count);
}

Status ConsolidationWindow::controlLines(std::vector<controls::ResultEntry>& lines) {
    int appended = 0;
    return controls::controlRunBatch(controlContext(), request_.form, checkRows(), tableList(), lines, appended);
}

maintenance::PrintRequest ConsolidationWindow::printRequest() const {
    maintenance::PrintRequest print;
    print.year = request_.year;
    print.form = request_.form;
    print.formName = request_.formName;
    print.label = request_.title;
    print.currentTable = currentTable().code;
    for (const ConsolidationTable& t : consolidation_.tables) print.tables.push_back({t.code, t.name, t.sm, t.a, t.type});
    for (const ConsolidatedRow& r : consolidation_.rows) print.rows.push_back({r.unicod, r.values});
    return print;
}

Status ConsolidationWindow::exportTable(platform::SpreadsheetServer& server, std::filesystem::path* workCopy) {
    const ConsolidationTable& table = currentTable();
    TableExportInput input;
    input.form = request_.form;
    input.table.CODFORM = request_.form;
    input.table.CODTABL = table.code;
    input.table.NAME = table.name;
    input.table.NAMEL = table.namel;
    input.table.SM = table.sm;
    input.table.A = table.a;
    input.heading = request_.title;
    input.columns = grafa_;
    input.rows = stroka_;
    for (const ConsolidationGridRow& row : grid_) input.grid.push_back({row.unicod, row.values});
    const std::string templateName = tableTemplateName(input.table);
    WorkCopy copy;
    Status st = openTemplate(server, ui_, installation_, templateName, kWorkCopyNumberWidth, copy);
    if (st) {
        if (workCopy) *workCopy = copy.path;
        st = writeTableLayout(server, copy, input, platform::equalsIgnoreAsciiCase(templateName, kGenericTableTemplate));
    }
    if (st) st = frameTable(server, copy, 10, 1, static_cast<int>(grid_.size()) + 10, table.sm + table.a);
    return finishExport(server, ui_, copy, st);
}

Status ConsolidationWindow::setComparing(bool on) {
    if (!on) {
        previous_.reset();
        return buildGrid();
    }
    registry::AnalysisRequest before = request_;
    before.year = request_.year - 1;
    const std::filesystem::path file = installation_.valueFile(before.year, before.form);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        ui_.message("Нет данных за " + std::to_string(before.year) + "г.: нет файла " + file.string());
        return Status::ok();
    }
    Consolidation previous;
    if (Status st = consolidate(installation_, before, previous); !st) {
        ui_.message(st.message());
        return st;
    }
    previous_ = std::move(previous);
    return buildGrid();
}

Decimal ConsolidationWindow::previousValue(int row, int valueIndex) const {
    if (!previous_ || row < 0 || row >= static_cast<int>(grid_.size()) || valueIndex < 1 ||
        valueIndex > kConsolidatedValues) {
        return {};
    }
    const ConsolidatedRow* before = previous_->row(grid_[static_cast<size_t>(row)].unicod);
    return before ? before->values[static_cast<size_t>(valueIndex - 1)] : Decimal{};
}

CellChange ConsolidationWindow::change(int row, int valueIndex) const {
    if (!previous_ || row < 0 || row >= static_cast<int>(grid_.size()) || valueIndex < 1 ||
        valueIndex > kConsolidatedValues) {
        return {};
    }
    return compareCell(grid_[static_cast<size_t>(row)].values[static_cast<size_t>(valueIndex - 1)],
                       previousValue(row, valueIndex), threshold_);
}

std::vector<exchange::ConsolidatedExportRow> ConsolidationWindow::exportRows() const {
    std::vector<exchange::ConsolidatedExportRow> rows;
    rows.reserve(consolidation_.rows.size());
    for (const ConsolidatedRow& r : consolidation_.rows) rows.push_back({r.table, r.unicod, r.values});
    return rows;
}

}  // namespace tavir::analysis
