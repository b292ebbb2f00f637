// The completeness count over a year's value file at regional size (300
// facilities × 12 months × 250 rows), for one month and for the whole year,
// beside SQLite's own SELECT DISTINCT of (period, facility) with the same
// period condition on the same file, once on an open connection and once
// opening the file for each query as the count does. The count runs on the
// benchmarks' installation around that file.
#include "region_value_file.h"

#include "data/paths.h"
#include "registry/completeness.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>


using namespace tavir;
using namespace tavir::bench;

namespace {

void BM_Completeness(benchmark::State& state) {
    const data::Installation inst(regionInstallation());
    const int64_t low = state.range(0), high = state.range(1);
    int64_t reports = 0;
    for (auto _ : state) {
        registry::CompletenessTable table;
        if (!registry::countCompleteness(inst, kBenchYear, low, high, registry::CompletenessBy::Facilities, table)) {
            state.SkipWithError("count failed");
            return;
        }
        reports = table.rows.empty() || table.rows[0].counts.empty() ? 0 : table.rows[0].counts[0];
        benchmark::DoNotOptimize(table);
    }
    state.counters["reports"] = static_cast<double>(reports);
}
BENCHMARK(BM_Completeness)->Args({6, 6})->Args({1, 12})->Unit(benchmark::kMillisecond);

// With `reopen` the file is opened for every query, as the window opens its
// files for every count; otherwise one connection with a warm page cache.
void sqliteSelectDistinct(benchmark::State& state, bool reopen) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    auto open = [&] {
        if (sqlite3_open_v2(regionValueFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return false;
        return sqlite3_prepare_v2(db, "SELECT DISTINCT MES, CODUCH FROM otchet WHERE MES BETWEEN ? AND ?", -1, &stmt,
                                  nullptr) == SQLITE_OK;
    };
    auto close = [&] {
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    };
    if (!reopen && !open()) {
        state.SkipWithError("open failed");
        return;
    }
    int64_t rows = 0;
    for (auto _ : state) {
        if (reopen && !open()) {
            state.SkipWithError("open failed");
            return;
        }
        sqlite3_reset(stmt);
        sqlite3_bind_int64(stmt, 1, state.range(0));
        sqlite3_bind_int64(stmt, 2, state.range(1));
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) ++rows;
        if (reopen) close();
    }
    if (!reopen) close();
    state.counters["reports"] = static_cast<double>(rows);
}

void BM_SqliteSelectDistinct(benchmark::State& state) { sqliteSelectDistinct(state, false); }
BENCHMARK(BM_SqliteSelectDistinct)->Args({6, 6})->Args({1, 12})->Unit(benchmark::kMillisecond);

void BM_SqliteSelectDistinctReopened(benchmark::State& state) { sqliteSelectDistinct(state, true); }
BENCHMARK(BM_SqliteSelectDistinctReopened)->Args({6, 6})->Args({1, 12})->Unit(benchmark::kMillisecond);

}  // namespace
