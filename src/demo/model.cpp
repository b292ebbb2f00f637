#include "demo/model.h"

#include "data/paths.h"
#include "entry/table_calculation.h"

#include <algorithm>
#include <stdexcept>

namespace tavir::demo {

namespace fs = std::filesystem;
using platform::Decimal;
using platform::Status;

int TableRef::rowIndex(const std::string& codstr) const {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].CODSTR == codstr) return static_cast<int>(i);
    }
    return -1;
}

const TableRef* FormRef::table(int code) const {
    const int i = tableIndex(code);
    return i < 0 ? nullptr : &tables[size_t(i)];
}

int FormRef::tableIndex(int code) const {
    for (size_t i = 0; i < tables.size(); ++i) {
        if (tables[i].tabl.CODTABL == code) return static_cast<int>(i);
    }
    return -1;
}

Status Reference::read(const fs::path& yearDir) {
    data::RecordFile<data::Forma> formaFile(yearDir / "Forma.dat");
    data::RecordFile<data::Tabl> tablFile(yearDir / "Tabl.dat");
    data::RecordFile<data::Stroka> strokaFile(yearDir / "Stroka.dat");
    data::RecordFile<data::Grafa> grafaFile(yearDir / "Grafa.dat");
    data::RecordFile<data::Rash> rashFile(yearDir / "Rash.dat");
    for (platform::KeyedFile* f : std::initializer_list<platform::KeyedFile*>{&formaFile, &tablFile, &strokaFile, &grafaFile, &rashFile}) {
        if (Status st = f->open(); !st) return st;
    }
    data::Forma forma;
    for (auto c = formaFile.byKey("FOR:KEYUNICOD"); c.next(forma);) forms[forma.UNICOD].forma = forma;
    data::Tabl tabl;
    for (auto c = tablFile.byKey("TAB:TAB1"); c.next(tabl);) {
        auto it = forms.find(tabl.CODFORM);
        if (it == forms.end()) continue;
        TableRef t;
        t.tabl = tabl;
        it->second.tables.push_back(t);
    }
    data::Stroka row;
    for (auto c = strokaFile.byKey("STR:STRNUM"); c.next(row);) {
        auto it = forms.find(row.CODFORM);
        if (it == forms.end()) continue;
        const int ti = it->second.tableIndex(row.CODTABL);
        if (ti >= 0) it->second.tables[size_t(ti)].rows.push_back(row);
    }
    data::Grafa col;
    for (auto c = grafaFile.byKey("GRA:GRA1"); c.next(col);) {
        auto it = forms.find(col.CODFORM);
        if (it == forms.end()) continue;
        const int ti = it->second.tableIndex(col.CODTABL);
        if (ti >= 0) it->second.tables[size_t(ti)].cols.push_back(col);
    }
    for (auto& [code, form] : forms) {
        for (TableRef& t : form.tables) {
            if (Status st = entry::readCalcRules(rashFile, code, t.tabl.CODTABL, t.rules); !st) return st;
            for (const data::Rash& r : t.rules) {
                const entry::RuleKind kind = entry::ruleKind(r.TIPRASH);
                if (kind == entry::RuleKind::ColumnFormula) t.colTargets.insert(r.GS);
                if (kind == entry::RuleKind::RowFormula || kind == entry::RuleKind::ReportRowFormula) t.rowTargets.insert(r.GS);
            }
        }
    }
    return Status::ok();
}

Report::Report(const FormRef& f, int y, int fac, int reg, int64_t per)
    : year(y), form(f.forma.UNICOD), facility(fac), district(reg), period(per) {
    for (const TableRef& t : f.tables) cells.emplace_back(t.rows.size(), Cells{});
}

namespace {

// Where a cell of the form lies in a report's grids; an unknown table, row
// or value index is a mistake of the generator and throws std::out_of_range.
std::array<size_t, 3> cellOf(const FormRef& f, int table, const std::string& codstr, int valueIndex) {
    const int ti = f.tableIndex(table);
    const int ri = ti < 0 ? -1 : f.tables[size_t(ti)].rowIndex(codstr);
    if (ri < 0 || valueIndex < 1 || valueIndex > kValues) {
        throw std::out_of_range("demo: no cell " + std::to_string(table) + "/" + codstr + "/" + std::to_string(valueIndex));
    }
    return {size_t(ti), size_t(ri), size_t(valueIndex - 1)};
}

}  // namespace

int64_t& Report::at(const FormRef& f, int table, const std::string& codstr, int valueIndex) {
    const auto c = cellOf(f, table, codstr, valueIndex);
    return cells[c[0]][c[1]][c[2]];
}

int64_t Report::at(const FormRef& f, int table, const std::string& codstr, int valueIndex) const {
    const auto c = cellOf(f, table, codstr, valueIndex);
    return cells[c[0]][c[1]][c[2]];
}

void calculate(const FormRef& form, Report& report) {
    for (size_t ti = 0; ti < form.tables.size(); ++ti) {
        const TableRef& t = form.tables[ti];
        if (t.rules.empty()) continue;
        entry::ReportCache cache;
        for (size_t tj = 0; tj < form.tables.size(); ++tj) {
            for (size_t r = 0; r < form.tables[tj].rows.size(); ++r) {
                entry::CacheEntry e;
                e.CODTABL = form.tables[tj].tabl.CODTABL;
                for (int i = 0; i < kValues; ++i) e.DATA[size_t(i)] = Decimal::fromMilli(report.cells[tj][r][size_t(i)]);
                if (!entry::allZero(e.DATA)) cache[form.tables[tj].rows[r].UNICOD] = e;
            }
        }
        std::vector<entry::GridRow> grid(t.rows.size());
        for (size_t r = 0; r < t.rows.size(); ++r) {
            grid[r].NUMBER = t.rows[r].NUMBER;
            grid[r].UNICODSTR = t.rows[r].UNICOD;
            for (int i = 0; i < kValues; ++i) grid[r].DATA[size_t(i)] = Decimal::fromMilli(report.cells[ti][r][size_t(i)]);
        }
        entry::calculateTable(t.rules, std::min(t.tabl.A, kValues), grid, cache);
        for (size_t r = 0; r < t.rows.size(); ++r) {
            for (int i = 0; i < kValues; ++i) report.cells[ti][r][size_t(i)] = grid[r].DATA[size_t(i)].milli();
        }
    }
}

std::vector<data::Otchet> toRecords(const FormRef& form, const Report& report) {
    std::vector<data::Otchet> out;
    auto record = [&](const TableRef& t, const data::Stroka& row) {
        data::Otchet o;
        o.CODREG = report.district;
        o.CODUCH = report.facility;
        o.CODTAB = t.tabl.CODTABL;
        o.MES = static_cast<int>(report.period);
        o.TIP = form.forma.TIP;
        o.UNICODSTR = row.UNICOD;
        return o;
    };
    if (report.empty) {
        if (!form.tables.empty() && !form.tables[0].rows.empty()) out.push_back(record(form.tables[0], form.tables[0].rows[0]));
        return out;
    }
    for (size_t ti = 0; ti < form.tables.size(); ++ti) {
        const TableRef& t = form.tables[ti];
        for (size_t r = 0; r < t.rows.size(); ++r) {
            const Cells& c = report.cells[ti][r];
            if (std::all_of(c.begin(), c.end(), [](int64_t v) { return v == 0; })) continue;
            data::Otchet o = record(t, t.rows[r]);
            for (int i = 0; i < kValues; ++i) o.DATA[size_t(i)] = Decimal::fromMilli(c[size_t(i)]);
            out.push_back(o);
        }
    }
    return out;
}

}  // namespace tavir::demo
