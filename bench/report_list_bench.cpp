// The report list over a region's year (the shared 900 000-record value
// file): building it for one month and for the whole year, beside SQLite's
// own SELECT DISTINCT of (period, facility) with the same period condition
// on the same file. Both sides run with a warm page cache after their first
// iteration.
#include "region_value_file.h"

#include "app/shared_state.h"
#include "data/paths.h"
#include "platform/scripted_interaction.h"
#include "registry/report_list.h"
#include "registry/report_scan.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace tavir;
using namespace tavir::bench;

namespace {

void reportList(benchmark::State& state, int64_t lower, int64_t upper) {
    const data::Installation inst(regionInstallation());
    app::SharedState shared;
    shared.globYear = kBenchYear;
    shared.globYearS = kBenchYear;
    shared.globYearE = kBenchYear;
    platform::ScriptedInteraction ui;
    registry::ReportListWindow window(inst, shared, ui);
    ui.answerPick(0);
    bool chosen = false;
    if (!window.openForm(chosen) || !chosen) {
        state.SkipWithError("no form");
        return;
    }
    for (auto _ : state) {
        window.setLower(lower);
        window.setUpper(upper);
        if (!window.build()) state.SkipWithError("build failed");
        benchmark::DoNotOptimize(window.entries().data());
    }
    if (window.entries().size() != static_cast<size_t>(kFacilities * (upper - lower + 1))) {
        state.SkipWithError("wrong entry count");
    }
    state.counters["entries"] = static_cast<double>(window.entries().size());
}

void sqliteDistinct(benchmark::State& state, int64_t lower, int64_t upper) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(regionValueFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT DISTINCT MES, CODUCH FROM otchet WHERE MES BETWEEN ? AND ?", -1, &stmt, nullptr);
    int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(stmt, 1, lower);
        sqlite3_bind_int64(stmt, 2, upper);
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) ++rows;
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.counters["entries"] = static_cast<double>(rows);
}

// The stored-report scan alone, without the names of the entries.
void BM_StoredReportsMonth(benchmark::State& state) {
    std::vector<registry::StoredReport> reports;
    const std::filesystem::path& file = regionValueFile();
    for (auto _ : state) {
        if (!registry::storedReports(file, 6, 6, reports)) state.SkipWithError("scan failed");
    }
    state.counters["entries"] = static_cast<double>(reports.size());
}

void BM_ReportListMonth(benchmark::State& state) { reportList(state, 6, 6); }
void BM_ReportListYear(benchmark::State& state) { reportList(state, 1, 12); }
void BM_SqliteDistinctMonth(benchmark::State& state) { sqliteDistinct(state, 6, 6); }
void BM_SqliteDistinctYear(benchmark::State& state) { sqliteDistinct(state, 1, 12); }
BENCHMARK(BM_StoredReportsMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportListMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteDistinctMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportListYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteDistinctYear)->Unit(benchmark::kMillisecond);

}  // namespace
