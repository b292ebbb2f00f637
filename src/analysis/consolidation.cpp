#include "analysis/consolidation.h"

#include "data/records.h"
#include "platform/text.h"

#include <algorithm>
#include <bit>
#include <atomic>
#include <thread>
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

// The running sums of one consolidation, or of one part of the file.
class Summer {
public:
    explicit Summer(const Consolidation& c) : from_(c.from), to_(c.to), slots_(kRowSlots, -1) {
        for (const ConsolidationTable& t : c.tables) kindsByTable_[t.code] = t.kinds;
    }

    // The fields of the records read: period, table, row and values.
    struct Fields {
        int mes, tab, row, data;
    };

    Status add(const platform::Record& r, const Fields& f) {
        const int64_t period = r.num(f.mes);
        const int table = static_cast<int>(r.num(f.tab));
        const int unicod = static_cast<int>(r.num(f.row));
        ++records_;
        int& slot = slots_[static_cast<uint16_t>(unicod)];
        if (slot < 0) {
            slot = static_cast<int>(rows_.size());
            rows_.push_back({unicod, table});
            sums_.emplace_back();
        }
        const uint32_t columns = admitted(table, period);
        std::array<int64_t, kConsolidatedValues>& sum = sums_[static_cast<size_t>(slot)];
        const int64_t* values = r.elements(f.data);
        uint32_t overflow = 0;
        for (int c = 0; c < kConsolidatedValues; ++c) {
            if (columns >> c & 1u) overflow |= static_cast<uint32_t>(__builtin_add_overflow(sum[c], values[c], &sum[c])) << c;
        }
        return overflow ? overflowAt(rows_[static_cast<size_t>(slot)], overflow) : Status::ok();
    }

    // Adds the sums of another part; rows first met there keep its table code.
    Status merge(const Summer& other) {
        records_ += other.records_;
        for (size_t i = 0; i < other.rows_.size(); ++i) {
            const ConsolidatedRow& theirs = other.rows_[i];
            int& slot = slots_[static_cast<uint16_t>(theirs.unicod)];
            if (slot < 0) {
                slot = static_cast<int>(rows_.size());
                rows_.push_back(theirs);
                sums_.push_back(other.sums_[i]);
                continue;
            }
            std::array<int64_t, kConsolidatedValues>& sum = sums_[static_cast<size_t>(slot)];
            uint32_t overflow = 0;
            for (int c = 0; c < kConsolidatedValues; ++c) {
                overflow |= static_cast<uint32_t>(__builtin_add_overflow(sum[c], other.sums_[i][c], &sum[c])) << c;
            }
            if (overflow) return overflowAt(rows_[static_cast<size_t>(slot)], overflow);
        }
        return Status::ok();
    }

    void finish(Consolidation& out) {
        for (size_t i = 0; i < rows_.size(); ++i) {
            for (int c = 0; c < kConsolidatedValues; ++c) rows_[i].values[c] = platform::Decimal::fromMilli(sums_[i][c]);
        }
        out.rows = std::move(rows_);
        out.recordsRead = records_;
        std::sort(out.rows.begin(), out.rows.end(), [](const auto& a, const auto& b) { return a.unicod < b.unicod; });
    }

private:
    // The value columns that take a record of the table and period, one bit
    // each; the last answer is kept, as records of one table and period
    // mostly come together.
    uint32_t admitted(int table, int64_t period) {
        if (table == lastTable_ && period == lastPeriod_) return lastColumns_;
        auto it = kindsByTable_.find(table);
        uint32_t columns = 0;
        for (int c = 0; c < kConsolidatedValues; ++c) {
            if (admits(it == kindsByTable_.end() ? kPlainColumn : it->second[c], period, from_, to_)) columns |= 1u << c;
        }
        lastTable_ = table;
        lastPeriod_ = period;
        lastColumns_ = columns;
        return columns;
    }

    // `columns`: one bit per value column whose sum left the range.
    static Status overflowAt(const ConsolidatedRow& row, uint32_t columns) {
        return Status::fail(ErrorKind::Invalid, "Сумма не помещается в поле: таблица " + std::to_string(row.table) +
                                                    ", строка с кодом " + std::to_string(row.unicod) + ", графа " +
                                                    std::to_string(std::countr_zero(columns) + 1));
    }

    int64_t from_, to_;
    std::vector<int> slots_;  // row unique code -> index in rows_
    std::vector<ConsolidatedRow> rows_;
    std::vector<std::array<int64_t, kConsolidatedValues>> sums_;  // thousandths, by index in rows_
    int64_t records_ = 0;
    std::map<int, std::array<int, kConsolidatedValues>> kindsByTable_;
    int lastTable_ = std::numeric_limits<int>::min();
    int64_t lastPeriod_ = std::numeric_limits<int64_t>::min();
    uint32_t lastColumns_ = 0;
};

// Whether the whole-file and district reads count a record of the period in.
bool included(const Consolidation& c, int64_t period) {
    return (period >= c.from && period <= c.to) || (c.yearStartColumns && period == 1 && c.from > 1);
}

Summer::Fields fieldsOf(const platform::FileDef& def) {
    return {def.fieldIndex("MES"), def.fieldIndex("CODTAB"), def.fieldIndex("UNICODSTR"), def.fieldIndex("DATA")};
}

// Adds the included records at positions first..last (last 0: to the end);
// `done` counts the records read, in steps so that the two readers do not
// contend for it on every record; `stop` ends the read early.
Status sumPositions(const std::filesystem::path& path, const Consolidation& c, int64_t first, int64_t last,
                    Summer& summer, std::atomic<int64_t>& done, const std::atomic<bool>& stop) {
    data::RecordFile<data::Otchet> file(path);
    if (Status st = file.open(); !st) return st;
    const Summer::Fields f = fieldsOf(file.def());
    platform::Record record(file.def());
    auto cursor = file.byPosition(first, platform::Direction::Forward, {f.mes, f.tab, f.row, f.data});
    int64_t read = 0;
    while (cursor.next(record)) {
        if (last > 0 && record.position > last) break;
        if (included(c, record.num(f.mes))) {
            if (Status st = summer.add(record, f); !st) return st;
        }
        if (++read % kProgressStep == 0) {
            done.fetch_add(kProgressStep, std::memory_order_relaxed);
            if (stop) break;
        }
    }
    return cursor.status();
}

// Whether an included record has facility or district code 0: both codes
// lead a key, so this costs two index seeks rather than two fields of
// every record read.
Status findZeroCodes(data::RecordFile<data::Otchet>& file, const registry::AnalysisRequest& request,
                     Consolidation& c) {
    const platform::FileDef& def = file.def();
    const int mes = def.fieldIndex("MES"), reg = def.fieldIndex("CODREG");
    platform::Record record(def);
    for (const char* key : {"KEYCODREG", "KEYCODTAB"}) {
        auto cursor = file.KeyedFile::equal(*def.key(key), {0}, {mes, reg});
        while (!c.zeroCodes && cursor.next(record)) {
            const bool inDistrict = request.district <= 0 || record.num(reg) == request.district;
            c.zeroCodes = inDistrict && included(c, record.num(mes));
        }
        if (!cursor.status()) return cursor.status();
    }
    return Status::ok();
}

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

    const std::filesystem::path path = installation.valueFile(request.year, request.form);
    data::RecordFile<data::Otchet> file(path);
    if (Status st = file.open(); !st) return st;
    const platform::FileDef& def = file.def();
    const Summer::Fields f = fieldsOf(def);
    const std::vector<int> fields{f.mes, f.tab, f.row, f.data};
    platform::Record record(def);
    Summer summer(out);
    const Status cancelled = Status::fail(ErrorKind::Invalid, "Свод прерван");

    if (!request.chosen.empty()) {
        const platform::KeyDef& key = *def.key("KEYCODUCH");
        const int64_t total = static_cast<int64_t>(request.chosen.size());
        int64_t done = 0;
        for (const registry::ReportRef& report : request.chosen) {
            auto cursor = file.KeyedFile::equal(key, {report.period, report.facility}, fields);
            while (cursor.next(record)) {
                if (Status st = summer.add(record, f); !st) return st;
            }
            if (!cursor.status()) return cursor.status();
            if (progress) {
                progress->update(++done, total, "Свод");
                if (progress->cancelled()) return cancelled;
            }
        }
    } else if (request.district > 0) {
        auto cursor = file.KeyedFile::equal(*def.key("KEYCODREG"), {request.district}, fields);
        while (cursor.next(record)) {
            if (!included(out, record.num(f.mes))) continue;
            if (Status st = summer.add(record, f); !st) return st;
        }
        if (!cursor.status()) return cursor.status();
        if (Status st = findZeroCodes(file, request, out); !st) return st;
    } else {
        // Sums do not depend on the order records come in, so the file is
        // read in position order, the fastest there is, in two halves at
        // once, each with its own connection; this thread reads the first
        // half and shows the progress of both.
        int64_t last = 0;
        {
            auto cursor = file.byPosition(0, platform::Direction::Backward, {f.mes});
            if (cursor.next(record)) last = record.position;
            if (!cursor.status()) return cursor.status();
        }
        const int64_t middle = last / 2;
        std::atomic<int64_t> done{0};
        std::atomic<bool> stop{false};
        Summer second(out);
        Status secondStatus;
        std::thread worker([&] { secondStatus = sumPositions(path, out, middle + 1, 0, second, done, stop); });
        Status firstStatus;
        {
            platform::Record r(def);
            auto cursor = file.byPosition(0, platform::Direction::Forward, fields);
            int64_t read = 0;
            while (cursor.next(r)) {
                if (r.position > middle) break;
                if (included(out, r.num(f.mes))) {
                    if (firstStatus = summer.add(r, f); !firstStatus) break;
                }
                if (++read % kProgressStep == 0 && progress) {
                    done.fetch_add(kProgressStep, std::memory_order_relaxed);
                    progress->update(done.load(), last, "Свод");
                    if (progress->cancelled()) {
                        firstStatus = cancelled;
                        break;
                    }
                }
            }
            if (firstStatus && !cursor.status()) firstStatus = cursor.status();
        }
        if (!firstStatus) stop = true;
        worker.join();
        if (!firstStatus) return firstStatus;
        if (!secondStatus) return secondStatus;
        if (Status st = summer.merge(second); !st) return st;
        if (Status st = findZeroCodes(file, request, out); !st) return st;
    }
    file.close();
    summer.finish(out);
    return Status::ok();
}

}  // namespace tavir::analysis
