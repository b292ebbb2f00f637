#include "entry/report_editor.h"

#include "data/periods.h"
#include "controls/control_run.h"
#include "controls/evaluation.h"
#include "entry/choosers.h"
#include "platform/number_format.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <algorithm>

namespace tavir::entry {

using platform::Status;

namespace {

std::string fit(std::string_view text, size_t width) { return platform::fitToWidth(text, width); }

}  // namespace

ReportEditor::ReportEditor(const data::Installation& installation, platform::Interaction& ui, app::SharedState& state,
                           ChosenReport report, int* callerDistrict)
    : installation_(installation), ui_(ui), state_(state), report_(std::move(report)), callerDistrict_(callerDistrict) {}

ReportEditor::~ReportEditor() {
    // A run torn down without closing (the program ends) still frees the report.
    releaseMark();
}

bool ReportEditor::start() {
    controlsOff_ = false;
    return loadReport();
}

std::string ReportEditor::caption() const { return reportCaption(report_, state_.subject().type); }

std::string ReportEditor::periodCodeText() const {
    if (report_.periodType == static_cast<int>(data::PeriodType::Daily)) return data::formatDayNumber(report_.period);
    return platform::formatNumber(report_.period);
}

void ReportEditor::setCurrentRow(int row) {
    if (row >= 0 && row < static_cast<int>(grid_.size())) currentRow_ = row;
}

void ReportEditor::tell(const Status& st, std::string_view what) {
    std::string text(what);
    if (!st.message().empty()) text += (text.empty() ? "" : "|") + st.message();
    ui_.message(text);
}

// --- Edit mark ---

bool ReportEditor::setMark() {
    data::RecordFile<data::Wwod> file(installation_.wwodFile());
    if (Status st = file.open(); !st) {
        tell(st, "");
        return false;
    }
    bool busy = false;
    {
        auto cursor = file.equal("WWO:KEYUF", {report_.year, report_.facility, report_.formCode});
        data::Wwod found;
        busy = cursor.next(found);
    }
    if (!busy) {
        data::Wwod mark;
        mark.YEAR = report_.year;
        mark.CODUCH = report_.facility;
        mark.CODFORM = report_.formCode;
        // Another run may have marked the report since the look-up.
        busy = file.add(mark).kind() == platform::ErrorKind::Duplicate;
    }
    file.close();
    if (busy && ui_.ask(kBusyQuestion, kBusyButtons) != 2) return false;
    marked_ = true;
    return true;
}

void ReportEditor::releaseMark() {
    if (!marked_) return;
    marked_ = false;
    data::RecordFile<data::Wwod> file(installation_.wwodFile());
    if (!file.open()) return;
    std::vector<int64_t> positions;
    {
        auto cursor = file.equal("WWO:KEYUF", {report_.year, report_.facility, report_.formCode});
        data::Wwod found;
        while (cursor.next(found)) positions.push_back(found.position);
    }
    for (int64_t p : positions) file.remove(p);
    file.close();
}

void ReportEditor::end() {
    releaseMark();
    ended_ = true;
}

// --- Loading ---

bool ReportEditor::loadReport() {
    tables_.clear();
    grid_.clear();
    rowList_.clear();
    cache_.clear();
    columns_ = {};
    rules_.clear();
    qrash_.clear();
    qc_.clear();
    if (auto type = data::periodTypeFromCode(report_.periodType)) {
        periodName_ = data::periodName(*type, report_.period, periodName_);
    }
    if (!setMark()) {
        ended_ = true;
        return false;
    }
    currentRow_ = 0;
    changed_ = false;
    valueFile_ = std::make_unique<data::RecordFile<data::Otchet>>(
        installation_.valueFile(report_.year, report_.formCode));

    data::RecordFile<data::Tabl> tabl(installation_.tablFile(report_.year));
    Status st = tabl.forEachEqual("TAB:TAB1", {report_.formCode}, [&](const data::Tabl& t) {
        TableEntry e;
        e.CODTABL = t.CODTABL;
        e.NAME = fit(t.NAME, 200);
        e.SM = t.SM;
        e.A = t.A;
        e.TYPE = t.TYPE;
        e.XLS = fit(t.NAMEL, 15);
        tables_.push_back(std::move(e));
    });
    if (!st) {
        tell(st, "");
        end();
        return false;
    }
    current_ = 0;
    byColumns_ = false;

    st = valueFile_->forEachEqual("OTC:KEYCODUCH", {report_.period, report_.facility}, [&](const data::Otchet& o) {
        CacheEntry& e = cache_[o.UNICODSTR];
        e.CODTABL = o.CODTAB;
        std::copy_n(o.DATA.begin(), kValueCount, e.DATA.begin());
    });
    if (!st) {
        tell(st, "");
        end();
        return false;
    }
    if (!loadTable()) {
        endAfterEmptyTable();
        return false;
    }
    return true;
}

bool ReportEditor::loadTable() {
    grid_.clear();
    rowList_.clear();
    columns_ = {};
    hasCodes_ = false;
    rules_.clear();
    qrash_.clear();
    qc_.clear();
    if (tables_.empty()) {
        ui_.message(kNoRowsMessage);
        return false;
    }
    const TableEntry& table = currentTable();
    const int form = report_.formCode;
    const int year = report_.year;

    data::RecordFile<data::Stroka> stroka(installation_.strokaFile(year));
    Status st = stroka.forEachEqual("STR:STRNUM", {form, table.CODTABL}, [&](const data::Stroka& s) {
        if (s.NUMBER < 1) return;
        GridRow row;
        row.CODSTR = fit(s.CODSTR, 9);
        row.S = fit(s.NAME, 200);
        // The sex mark keeps its one position before the codes.
        row.POL = fit(platform::padRight(s.POL, 1) + s.CODMKB, 30);
        row.UNICODSTR = s.UNICOD;
        row.NUMBER = s.NUMBER;
        if (!platform::trimRight(s.CODMKB).empty()) hasCodes_ = true;
        grid_.push_back(std::move(row));
        rowList_.push_back({fit(s.CODSTR, 8), fit(s.NAMEL, 30), s.NUMBER});
    });
    if (!st) {
        tell(st, "");
        return false;
    }
    for (GridRow& row : grid_) {
        auto it = cache_.find(row.UNICODSTR);
        if (it == cache_.end()) continue;
        row.DATA = it->second.DATA;
        row.ERROR = it->second.ERROR;
        // A record stored under another table belongs to the row's own table.
        it->second.CODTABL = table.CODTABL;
    }
    if (grid_.empty()) {
        ui_.message(kNoRowsMessage);
        return false;
    }
    auto byNumber = [](const auto& a, const auto& b) { return a.NUMBER < b.NUMBER; };
    std::stable_sort(grid_.begin(), grid_.end(), byNumber);
    std::stable_sort(rowList_.begin(), rowList_.end(), byNumber);

    data::RecordFile<data::Grafa> grafa(installation_.grafaFile(year));
    st = grafa.forEachEqual("GRA:GRA1", {form, table.CODTABL}, [&](const data::Grafa& g) {
        const int index = g.COD - table.SM;
        if (index < 1 || g.COD > table.SM + table.A || index > kValueCount) return;
        ColumnAttr& c = columns_[index - 1];
        c.NAME = fit(g.NAME, 100);
        c.NAMEL = fit(g.NAMEL, 15);
        c.COD = g.COD;
        c.picture = platform::parsePicture(g.FORMAT);
        c.present = true;
    });
    if (!st) {
        tell(st, "");
        return false;
    }

    data::RecordFile<data::Rash> rash(installation_.rashFile(year));
    if (st = readCalcRules(rash, form, table.CODTABL, rules_); !st) {
        tell(st, "");
        return false;
    }
    qrash_ = displayRules(rules_);
    if (st = controls::loadTableColumnRules(installation_, year, form, table.CODTABL, qc_); !st) {
        tell(st, "");
        return false;
    }

    // A new report of a table with totals is typed faster without the check
    // after every row, unless a row already breaks a rule.
    if (cache_.empty() && !rules_.empty()) controlsOff_ = true;
    refreshMarks();
    for (const GridRow& row : grid_) {
        if (!row.ERROR.empty()) controlsOff_ = false;
    }
    currentRow_ = 0;
    return true;
}

void ReportEditor::refreshMarks() {
    for (GridRow& row : grid_) {
        row.ERROR = controls::checkEntryRow(qc_, currentTable().SM, row.CODSTR, row.DATA, true).failed ? "?" : "";
    }
}

void ReportEditor::endAfterEmptyTable() {
    if (ended_) return;
    if (changed_ && ui_.ask(kCloseQuestion, kYesNo) == 1) saveReport(false);
    end();
}

// --- Editing ---

void ReportEditor::setValue(int row, int valueIndex, Decimal value) {
    if (row < 0 || row >= static_cast<int>(grid_.size()) || valueIndex < 1 || valueIndex > kValueCount) return;
    GridRow& target = grid_[row];
    target.DATA[valueIndex - 1] = value;
    target.ERROR = controls::checkEntryRow(qc_, currentTable().SM, target.CODSTR, target.DATA, true).failed ? "?" : "";
    changed_ = true;
}

std::optional<Decimal> ReportEditor::readTyped(int valueIndex, std::string_view typed) {
    if (valueIndex < 1 || valueIndex > kValueCount) return std::nullopt;
    const platform::Picture& picture = columns_[valueIndex - 1].picture;
    if (auto value = platform::parsePictureInput(picture, typed)) return value;
    ui_.beep();
    ui_.message(platform::pictureInputError(picture, typed));
    return std::nullopt;
}

controls::EntryCheck ReportEditor::storeRow(int row, const Values& values) {
    controls::EntryCheck check;
    if (row < 0 || row >= static_cast<int>(grid_.size())) return check;
    GridRow& target = grid_[row];
    if (!controlsOff_) {
        check = checkRow(row, values);
        target.ERROR = check.failed ? "?" : "";
    }
    target.DATA = values;
    return check;
}

controls::EntryCheck ReportEditor::checkRow(int row, const Values& values) {
    controls::EntryCheck check =
        controls::checkEntryRow(qc_, currentTable().SM, grid_[row].CODSTR, values, false);
    controls::reportEntryCheck(check, ui_);
    return check;
}

void ReportEditor::sync() {
    for (const GridRow& row : grid_) {
        const bool zero = allZero(row.DATA);
        auto it = cache_.find(row.UNICODSTR);
        if (it != cache_.end()) {
            if (zero) {
                cache_.erase(it);
            } else {
                it->second.DATA = row.DATA;
                it->second.ERROR = row.ERROR;
            }
        } else if (!zero) {
            cache_[row.UNICODSTR] = CacheEntry{currentTable().CODTABL, row.DATA, row.ERROR};
        }
    }
    changed_ = true;
}

// --- Tables ---

bool ReportEditor::selectTable(int index) {
    if (index < 0 || index >= static_cast<int>(tables_.size())) return true;
    sync();
    current_ = index;
    if (!loadTable()) {
        endAfterEmptyTable();
        return false;
    }
    return true;
}

bool ReportEditor::nextTable() { return isLastTable() || selectTable(current_ + 1); }

bool ReportEditor::previousTable() { return isFirstTable() || selectTable(current_ - 1); }

TableChoice ReportEditor::chooseTable() {
    platform::PickRequest request;
    request.caption = "Таблицы";
    request.name = "Таблицы";
    request.status = "Enter-выбор из списка";
    request.columns = {{"Таблица", 6, platform::Align::Center}, {"Наименование", 100, platform::Align::Left}};
    for (const TableEntry& t : tables_) request.lines.push_back({platform::formatNumber(t.CODTABL), t.NAME});
    request.startLine = current_;
    std::optional<int> line = ui_.pick(request);
    if (!line || *line < 0 || *line >= static_cast<int>(tables_.size())) return TableChoice::Kept;
    return selectTable(*line) ? TableChoice::Loaded : TableChoice::Ended;
}

// --- Buttons ---

void ReportEditor::calculate() {
    data::RecordFile<data::Rash> rash(installation_.rashFile(report_.year));
    std::vector<data::Rash> rules;
    if (Status st = readCalcRules(rash, report_.formCode, currentTable().CODTABL, rules); !st) {
        tell(st, "");
        return;
    }
    std::vector<CalcCell> overflow = calculateTable(rules, currentTable().A, grid_, cache_);
    if (!overflow.empty()) {
        const CalcCell& c = overflow.front();
        std::string code;
        for (const GridRow& row : grid_) {
            if (row.NUMBER == c.rowNumber) code = std::string(platform::trimRight(row.CODSTR));
        }
        ui_.message("Итог не помещается в графу " + platform::formatNumber(c.valueIndex + currentTable().SM) +
                    " строки " + code + "|Значение оставлено прежним");
    }
    refreshMarks();
    sync();
}

void ReportEditor::carryOverBalances() {
    if (!carryOverShown()) return;
    if (Status st = carryOver(*valueFile_, report_.formCode, report_.facility, report_.period, grid_); !st) {
        tell(st, "");
        return;
    }
    refreshMarks();
    changed_ = true;
}

void ReportEditor::runControls(controls::ControlViews& views) {
    sync();
    controls::CheckRows rows;
    rows.reserve(cache_.size());
    for (const auto& [unicod, entry] : cache_) rows.push_back({unicod, entry.CODTABL, entry.DATA});
    controls::TableList tables;
    for (const TableEntry& t : tables_) tables.push_back({t.CODTABL, t.SM, t.A});
    ChooserContext ctx{installation_, ui_, report_.year, state_.subject()};
    int count = 0;
    const std::string checked = "Ф" + platform::formatNumber(report_.formCode) + " " +
                                std::string(platform::trimRight(report_.formName)) + ", " + periodName_ + " " +
                                platform::formatNumber(report_.year) + " г., " + caption();
    if (Status st = controls::controlRun(ctx, views, report_.formCode, rows, tables, count, checked); !st) {
        tell(st, "");
    }
}

data::Otchet ReportEditor::valueRecord(int table, int unicod, const Values& values) const {
    data::Otchet o;
    o.CODREG = report_.district;
    o.CODUCH = report_.facility;
    o.CODTAB = table;
    o.MES = static_cast<int>(report_.period);
    o.TIP = report_.periodType;
    o.UNICODSTR = unicod;
    std::copy(values.begin(), values.end(), o.DATA.begin());
    return o;
}

Status ReportEditor::removeStoredRecords(data::RecordFile<data::Otchet>& file) {
    std::vector<int64_t> positions;
    {
        auto cursor = file.equal("OTC:KEYCODUCH", {report_.period, report_.facility});
        data::Otchet o;
        while (cursor.next(o)) positions.push_back(o.position);
        if (!cursor.status()) return cursor.status();
    }
    for (int64_t p : positions) {
        if (Status st = file.remove(p); !st) return st;
    }
    return Status::ok();
}

Status ReportEditor::writeTable() {
    data::RecordFile<data::Otchet>& file = *valueFile_;
    if (Status st = file.open(); !st) return st;
    Status result = [&]() -> Status {
        platform::Transaction tx(file);
        if (!tx.status()) return tx.status();
        for (const GridRow& row : grid_) {
            const bool zero = allZero(row.DATA);
            std::optional<data::Otchet> found;
            {
                auto cursor = file.equal("OTC:KEYCODUCH", {report_.period, report_.facility, row.UNICODSTR});
                data::Otchet o;
                if (cursor.next(o)) found = o;
                if (!cursor.status()) return cursor.status();
            }
            Status st;
            if (found && zero) {
                st = file.remove(found->position);
            } else if (found) {
                std::copy(row.DATA.begin(), row.DATA.end(), found->DATA.begin());
                found->CODTAB = currentTable().CODTABL;
                st = file.update(*found);
            } else if (!zero) {
                data::Otchet o = valueRecord(currentTable().CODTABL, row.UNICODSTR, row.DATA);
                st = file.add(o);
            }
            if (!st) return st;
        }
        return tx.commit();
    }();
    file.close();
    return result;
}

Status ReportEditor::replaceReport(const std::vector<data::Otchet>& records) {
    data::RecordFile<data::Otchet>& file = *valueFile_;
    if (Status st = file.open(); !st) return st;
    Status result = [&]() -> Status {
        platform::Transaction tx(file);
        if (!tx.status()) return tx.status();
        if (Status st = removeStoredRecords(file); !st) return st;
        for (data::Otchet o : records) {
            if (Status st = file.add(o); !st) return st;
        }
        return tx.commit();
    }();
    file.close();
    return result;
}

Status ReportEditor::writeReport() {
    std::vector<data::Otchet> records;
    for (const auto& [unicod, entry] : cache_) records.push_back(valueRecord(entry.CODTABL, unicod, entry.DATA));
    return replaceReport(records);
}

Status ReportEditor::writeEmptyReport() {
    return replaceReport({valueRecord(currentTable().CODTABL, grid_.front().UNICODSTR, Values{})});
}

Status ReportEditor::removeReport() { return replaceReport({}); }

void ReportEditor::saveTable() {
    sync();
    if (Status st = writeTable(); !st) {
        tell(st, "Таблица не записана.");
        return;
    }
    ui_.message(kTableSavedMessage);
}

bool ReportEditor::saveReport(bool announce) {
    // A form of one table is its grid: saved row by row as a table is.
    sync();
    Status st = tables_.size() == 1 ? writeTable() : writeReport();
    if (!st) {
        tell(st, "Отчет не записан.");
        return false;
    }
    changed_ = false;
    if (announce) ui_.message(kReportSavedMessage);
    return true;
}

void ReportEditor::clearTable() {
    const int code = currentTable().CODTABL;
    if (ui_.ask("Очистить таблицу " + platform::formatNumber(code) + "?", kClearButtons) != 2) return;
    std::erase_if(cache_, [code](const auto& entry) { return entry.second.CODTABL == code; });
    if (!loadTable()) endAfterEmptyTable();
}

void ReportEditor::emptyReport() {
    // Values typed in the grid since the last sync are data too.
    bool hasData = !cache_.empty();
    for (const GridRow& row : grid_) hasData = hasData || !allZero(row.DATA);
    // "&Отменить" is the safe answer: the report's data stay.
    if (hasData && ui_.ask(kEmptyQuestion, kEmptyButtons, 2) != 1) return;
    if (Status st = writeEmptyReport(); !st) {
        tell(st, "Отчет не записан.");
        return;
    }
    changed_ = false;
    ui_.message(kReportSavedMessage);
    end();
}

void ReportEditor::deleteReport() {
    if (ui_.ask(kDeleteQuestion, kDeleteButtons) != 2) return;
    if (Status st = removeReport(); !st) {
        tell(st, "Отчет не удален.");
        return;
    }
    changed_ = false;
    if (report_.given && callerDistrict_) *callerDistrict_ = 0;
    end();
}

bool ReportEditor::askSaveBeforeChange() {
    if (!changed_) return true;
    const int answer = ui_.ask(kChangeQuestion, kYesNo);
    if (answer == 0) return false;
    return answer != 1 || saveReport(false);
}

void ReportEditor::otherForm() { changeReport(changeForm); }

void ReportEditor::otherFacility() { changeReport(changeFacility); }

void ReportEditor::changeReport(ReportChanger changer) {
    if (!canChangeReport() || ended_ || !askSaveBeforeChange()) return;
    releaseMark();
    ChooserContext ctx{installation_, ui_, report_.year, state_.subject()};
    ChosenReport next = report_;
    Change change = Change::Kept;
    if (!changer(ctx, next, change)) change = Change::Kept;
    switch (change) {
        case Change::Kept:
            if (!setMark()) ended_ = true;
            break;
        case Change::Changed:
            report_ = std::move(next);
            loadReport();
            break;
        case Change::Ended: ended_ = true; break;
    }
}

bool ReportEditor::close() {
    if (ended_) return true;
    if (changed_) {
        const int answer = ui_.ask(kCloseQuestion, kYesNo);
        if (answer == 0) return false;
        if (answer == 1 && !saveReport(false)) return false;
    }
    end();
    return true;
}

}  // namespace tavir::entry
