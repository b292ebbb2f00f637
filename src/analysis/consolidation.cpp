#include "analysis/consolidation.h"

#include "data/records.h"
#include "platform/text.h"

#include <algorithm>
#include <limits>

namespace tavir::analysis {

using platform::ErrorKind;
using platform::Status;

namespace {

constexpr int kTemplateWidth = 15;
// Rows are counted in 16 bits, so a table of every possible unique code
// holds the running sums while records arrive in any order.
constexpr int kRowSlots = 1 << 16;
constexpr int64_t kProgressStep = 1 << 14;

Status readTables(const data::Installation& inst, const registry::AnalysisRequest& request, Consolidation& out) {
    data::RecordFile<data::Tabl> tabl(inst.tablFile(request.year));
    if (Status st = tabl.open(); !st) return st;
    {
        auto cursor = tabl.equal("TAB1", {request.form});
        data::Tabl t;
        while (cursor.next(t)) {
            out.tables.push_back({t.CODTABL, t.NAME, t.SM, platform::cutToWidth(t.NAMEL, kTemplateWidth), t.A, t.TYPE,
                                  t.UNICODT, {}});
        }
        if (!cursor.status()) return cursor.status();
    }
    tabl.close();
    std::sort(out.tables.begin(), out.tables.end(), [](const auto& a, const auto& b) { return a.code < b.code; });
    if (request.ignoreColumnKinds) return Status::ok();

    data::RecordFile<data::Grafa> grafa(inst.grafaFile(request.year));
    if (Status st = grafa.open(); !st) return st;
    auto cursor = grafa.equal("GRA1", {request.form});
    data::Grafa g;
    while (cursor.next(g)) {
        auto t = std::find_if(out.tables.begin(), out.tables.end(), [&](const auto& x) { return x.code == g.CODTABL; });
        const int column = g.COD - (t == out.tables.end() ? 0 : t->sm);
        if (t == out.tables.end() || column < 1 || column > kConsolidatedValues) continue;
        t->kinds[column - 1] = g.VID;
        out.yearStartColumns = out.yearStartColumns || g.VID == kYearStartColumn;
    }
    return cursor.status();
}

// The running sums of one consolidation.
class Summer {
public:
    Summer(Consolidation& out) : out_(out), slots_(kRowSlots, -1) {
        for (const ConsolidationTable& t : out.tables) kindsByTable_[t.code] = t.kinds;
    }

    Status add(const platform::Record& r, int mesField, int tabField, int rowField, int dataField) {
        const int64_t period = r.num(mesField);
        const int table = static_cast<int>(r.num(tabField));
        const int unicod = static_cast<int>(r.num(rowField));
        ++out_.recordsRead;
        int& slot = slots_[static_cast<uint16_t>(unicod)];
        if (slot < 0) {
            slot = static_cast<int>(out_.rows.size());
            out_.rows.push_back({unicod, table, {}});
        }
        ConsolidatedRow& row = out_.rows[static_cast<size_t>(slot)];
        const std::array<int, kConsolidatedValues>* kinds = kindsOf(table);
        const int64_t* values = r.elements(dataField);
        for (int c = 0; c < kConsolidatedValues; ++c) {
            if (values[c] == 0 || !admits(kinds ? (*kinds)[c] : kPlainColumn, period, out_.from, out_.to)) continue;
            int64_t sum = 0;
            if (__builtin_add_overflow(row.values[c].milli(), values[c], &sum)) {
                return Status::fail(ErrorKind::Invalid, "Сумма не помещается в поле: таблица " + std::to_string(table) +
                                                            ", строка с кодом " + std::to_string(unicod) +
                                                            ", графа " + std::to_string(c + 1));
            }
            row.values[c] = platform::Decimal::fromMilli(sum);
        }
        return Status::ok();
    }

    void finish() {
        std::sort(out_.rows.begin(), out_.rows.end(), [](const auto& a, const auto& b) { return a.unicod < b.unicod; });
    }

private:
    const std::array<int, kConsolidatedValues>* kindsOf(int table) {
        if (table != lastTable_) {
            auto it = kindsByTable_.find(table);
            lastKinds_ = it == kindsByTable_.end() ? nullptr : &it->second;
            lastTable_ = table;
        }
        return lastKinds_;
    }

    Consolidation& out_;
    std::vector<int> slots_;  // row unique code -> index in out_.rows
    std::map<int, std::array<int, kConsolidatedValues>> kindsByTable_;
    int lastTable_ = std::numeric_limits<int>::min();
    const std::array<int, kConsolidatedValues>* lastKinds_ = nullptr;
};

}  // namespace

const ConsolidationTable* Consolidation::table(int code) const {
    auto it = std::lower_bound(tables.begin(), tables.end(), code, [](const auto& t, int c) { return t.code < c; });
    return it != tables.end() && it->code == code ? &*it : nullptr;
}

const ConsolidatedRow* Consolidation::row(int unicod) const {
    auto it = std::lower_bound(rows.begin(), rows.end(), unicod, [](const auto& r, int c) { return r.unicod < c; });
    return it != rows.end() && it->unicod == unicod ? &*it : nullptr;
}

bool admits(int kind, int64_t period, int64_t from, int64_t to) {
    switch (kind) {
        case kYearStartColumn: return period == 1;
        case kPeriodStartColumn: return period == from;
        case kPeriodEndColumn: return period == to;
        default: return period >= from && period <= to;
    }
}

void derivedBounds(const registry::AnalysisRequest& request, int64_t& from, int64_t& to) {
    from = request.lower;
    to = request.upper;
    if (request.chosen.empty() || request.ignoreColumnKinds) return;
    from = request.upper;
    to = std::numeric_limits<int64_t>::min();
    for (const registry::ReportRef& r : request.chosen) {
        from = std::min(from, r.period);
        to = std::max(to, r.period);
    }
}

Status consolidate(const data::Installation& installation, const registry::AnalysisRequest& request,
                   Consolidation& out, platform::Progress* progress) {
    out = Consolidation{};
    derivedBounds(request, out.from, out.to);
    if (Status st = readTables(installation, request, out); !st) return st;

    data::RecordFile<data::Otchet> file(installation.valueFile(request.year, request.form));
    if (Status st = file.open(); !st) return st;
    const platform::FileDef& def = file.def();
    const int mes = def.fieldIndex("MES"), uch = def.fieldIndex("CODUCH"), reg = def.fieldIndex("CODREG"),
              tab = def.fieldIndex("CODTAB"), row = def.fieldIndex("UNICODSTR"), data = def.fieldIndex("DATA");
    const std::vector<int> fields{reg, uch, tab, mes, row, data};
    platform::Record record(def);
    Summer summer(out);
    const int64_t total = request.chosen.empty() ? file.count() : static_cast<int64_t>(request.chosen.size());
    auto stopped = [&](int64_t done) {
        if (!progress || done % kProgressStep != 0) return false;
        progress->update(done, total, "Свод");
        return progress->cancelled();
    };
    const Status cancelled = Status::fail(ErrorKind::Invalid, "Свод прерван");

    if (!request.chosen.empty()) {
        const platform::KeyDef& key = *def.key("KEYCODUCH");
        int64_t done = 0;
        for (const registry::ReportRef& report : request.chosen) {
            auto cursor = file.KeyedFile::equal(key, {report.period, report.facility}, fields);
            while (cursor.next(record)) {
                if (Status st = summer.add(record, mes, tab, row, data); !st) return st;
            }
            if (!cursor.status()) return cursor.status();
            if (progress) {
                progress->update(++done, total, "Свод");
                if (progress->cancelled()) return cancelled;
            }
        }
    } else {
        // Sums do not depend on the order records come in, so the whole file
        // is read in position order, the fastest there is; a district's
        // records come by their key.
        auto cursor = request.district > 0 ? file.KeyedFile::equal(*def.key("KEYCODREG"), {request.district}, fields)
                                            : file.byPosition(0, platform::Direction::Forward, fields);
        int64_t done = 0;
        while (cursor.next(record)) {
            const int64_t period = record.num(mes);
            const bool inRange = period >= out.from && period <= out.to;
            const bool yearStart = out.yearStartColumns && period == 1 && out.from > 1;
            if (inRange || yearStart) {
                if (record.num(uch) == 0 || record.num(reg) == 0) out.zeroCodes = true;
                if (Status st = summer.add(record, mes, tab, row, data); !st) return st;
            }
            if (stopped(++done)) return cancelled;
        }
        if (!cursor.status()) return cursor.status();
    }
    file.close();
    summer.finish();
    return Status::ok();
}

}  // namespace tavir::analysis
