// A year's value file at regional size: 300 facilities × 12 months × 250
// rows, about eight non-zero values a row (900 000 records). Measures the
// load, reading one report by its key, and the whole-file scans that
// consolidation and indicators make, against SQLite's own GROUP BY over the
// same data stored one column per value.
#include "region_value_file.h"

#include "analysis/consolidation.h"
#include "data/dictionary.h"
#include "data/paths.h"
#include "platform/keyed_file.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <filesystem>

using namespace tavir;
using namespace tavir::bench;

namespace {

// The same records, one INTEGER column per value, built from our file.
const std::filesystem::path& columnFile() {
    static const auto path = [] {
        auto p = benchDir() / "columns.db";
        std::filesystem::remove(p);
        sqlite3* db = nullptr;
        sqlite3_open(p.c_str(), &db);
        std::string cols, params;
        for (int i = 1; i <= 35; ++i) {
            cols += ", DATA" + std::to_string(i) + " INTEGER NOT NULL";
            params += ", ?";
        }
        sqlite3_exec(db,
                     ("CREATE TABLE otchet (CODREG INTEGER NOT NULL, CODUCH INTEGER NOT NULL, CODTAB INTEGER NOT "
                      "NULL, MES INTEGER NOT NULL, TIP INTEGER NOT NULL, UNICODSTR INTEGER NOT NULL" +
                      cols + ")")
                         .c_str(),
                     nullptr, nullptr, nullptr);
        sqlite3_exec(db, "CREATE UNIQUE INDEX k ON otchet (MES, CODUCH, UNICODSTR); BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(db, ("INSERT INTO otchet VALUES (?, ?, ?, ?, ?, ?" + params + ")").c_str(), -1, &ins,
                           nullptr);
        platform::KeyedFile file(otchet(), regionValueFile());
        file.open();
        platform::Record r(otchet());
        auto cursor = file.byPosition();
        while (cursor.next(r)) {
            for (int f = 0; f < 6; ++f) sqlite3_bind_int64(ins, f + 1, r.num(f));
            for (int i = 0; i < 35; ++i) sqlite3_bind_int64(ins, 7 + i, r.num(6, i));
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return p;
    }();
    return path;
}

void BM_LoadValueFile(benchmark::State& state) {
    for (auto _ : state) {
        bool ok = buildRegionValueFile(benchDir() / "load.dat");
        if (!ok) state.SkipWithError("load failed");
    }
    state.counters["records"] = kFacilities * kMonths * kRows;
}
BENCHMARK(BM_LoadValueFile)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadReportByKey(benchmark::State& state) {
    platform::KeyedFile file(otchet(), regionValueFile());
    file.open();
    const auto& key = *otchet().key("OTC:KEYCODUCH");
    platform::Record r(otchet());
    int uch = 1;
    for (auto _ : state) {
        int n = 0;
        auto cursor = file.equal(key, {6, uch});
        while (cursor.next(r)) ++n;
        if (n != kRows) state.SkipWithError("wrong row count");
        uch = uch % kFacilities + 1;
    }
}
BENCHMARK(BM_ReadReportByKey)->Unit(benchmark::kMicrosecond);

// Sums the 25 values per row code over the whole file.
void scanSums(benchmark::State& state, bool byKey) {
    platform::KeyedFile file(otchet(), regionValueFile());
    file.open();
    const int data = otchet().fieldIndex("OTC:DATA");
    const int row = otchet().fieldIndex("OTC:UNICODSTR");
    platform::Record r(otchet());
    for (auto _ : state) {
        std::vector<std::array<int64_t, kValues>> sums(kRows + 1);
        // Only the row code and the values: the fields a consolidation reads.
        const std::vector<int> fields{row, data};
        auto cursor = byKey ? file.byKey(*otchet().key("OTC:KEYCODSTR"), {}, platform::Direction::Forward, fields)
                            : file.byPosition(0, platform::Direction::Forward, fields);
        bool overflow = false;
        while (cursor.next(r)) {
            auto& s = sums[static_cast<size_t>(r.num(row))];
            const int64_t* v = r.elements(data);
            for (int i = 0; i < kValues; ++i) overflow |= __builtin_add_overflow(s[i], v[i], &s[i]);
        }
        if (overflow) state.SkipWithError("overflow");
        benchmark::DoNotOptimize(sums);
    }
}
void BM_ScanSumsPositionOrder(benchmark::State& state) { scanSums(state, false); }
void BM_ScanSumsKeyOrder(benchmark::State& state) { scanSums(state, true); }
BENCHMARK(BM_ScanSumsPositionOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanSumsKeyOrder)->Unit(benchmark::kMillisecond);

// The sums of the 25 values per row code, ordered by row code.
std::string groupBySums() {
    std::string sql = "SELECT UNICODSTR";
    for (int i = 1; i <= kValues; ++i) sql += ", sum(DATA" + std::to_string(i) + ")";
    return sql + " FROM otchet GROUP BY UNICODSTR ORDER BY UNICODSTR";
}

void BM_SqliteGroupBySums(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(columnFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, groupBySums().c_str(), -1, &stmt, nullptr);
    for (auto _ : state) {
        int64_t total = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) total += sqlite3_column_int64(stmt, 1);
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(total);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BM_SqliteGroupBySums)->Unit(benchmark::kMillisecond);

// The request of the report list for the benchmarks' monthly form.
registry::AnalysisRequest formRequest(int64_t lower, int64_t upper) {
    registry::AnalysisRequest request;
    request.form = 12;
    request.periodType = 1;
    request.lower = lower;
    request.upper = upper;
    request.year = kBenchYear;
    return request;
}

// The consolidation of the whole year without chosen reports, and of 50
// chosen reports; the year's sums are compared with SQLite's GROUP BY.
void BM_ConsolidationYear(benchmark::State& state) {
    const data::Installation inst(regionInstallation());
    const registry::AnalysisRequest request = formRequest(1, kMonths);
    analysis::Consolidation c;
    for (auto _ : state) {
        if (!analysis::consolidate(inst, request, c)) state.SkipWithError("consolidation failed");
    }
    // The same sums as SQLite's own.
    sqlite3* db = nullptr;
    sqlite3_open_v2(columnFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, groupBySums().c_str(), -1, &stmt, nullptr);
    size_t n = 0;
    bool equal = true;
    for (; sqlite3_step(stmt) == SQLITE_ROW; ++n) {
        const analysis::ConsolidatedRow* row = c.row(sqlite3_column_int(stmt, 0));
        for (int i = 0; row && i < kValues; ++i) equal = equal && row->values[size_t(i)].milli() == sqlite3_column_int64(stmt, i + 1);
        equal = equal && row;
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    if (!equal || n != c.rows.size()) state.SkipWithError("sums differ from SQLite's");
    state.counters["records"] = static_cast<double>(c.recordsRead);
}
BENCHMARK(BM_ConsolidationYear)->Unit(benchmark::kMillisecond);

void BM_Consolidation50Reports(benchmark::State& state) {
    const data::Installation inst(regionInstallation());
    registry::AnalysisRequest request = formRequest(6, 6);
    for (int uch = 1; uch <= 50; ++uch) request.chosen.push_back({uch * 5, 6});
    analysis::Consolidation c;
    for (auto _ : state) {
        if (!analysis::consolidate(inst, request, c)) state.SkipWithError("consolidation failed");
    }
    if (c.recordsRead != 50 * kRows) state.SkipWithError("wrong record count");
}
BENCHMARK(BM_Consolidation50Reports)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(benchDir());
    return 0;
}
