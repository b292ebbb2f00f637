// The completeness count over a year's value file at regional size (300
// facilities × 12 months × 250 rows), for one month and for the whole year,
// beside SQLite's own SELECT DISTINCT of (period, facility) with the same
// period condition on the same file, once on an open connection and once
// opening the file for each query as the count does. The count needs an
// installation: the file is linked into a year directory whose forma holds
// its one monthly form, with registry files of the region's 28 districts.
#include "region_value_file.h"

#include "data/dictionary.h"
#include "data/paths.h"
#include "data/record_binding.h"
#include "data/records.h"
#include "registry/completeness.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>

using namespace tavir;
using namespace tavir::bench;

namespace {

constexpr int kYear = 2025;
constexpr int kForm = 12;

template <class T>
bool writeFile(const std::filesystem::path& path, std::vector<T> records) {
    if (!platform::KeyedFile::create(data::defOf<T>(), path).isOk()) return false;
    data::RecordFile<T> file(path);
    if (!file.open().isOk()) return false;
    platform::Transaction tx(file);
    for (T& r : records) {
        if (!file.add(r).isOk()) return false;
    }
    return tx.commit().isOk();
}

const data::Installation& installation() {
    static const data::Installation inst = [] {
        const auto dir = benchDir() / "completeness";
        const auto year = dir / data::yearDirName(kYear);
        std::filesystem::create_directories(year);
        std::error_code ec;
        std::filesystem::create_hard_link(regionValueFile(), year / data::valueFileName(kForm), ec);
        if (ec) std::filesystem::copy_file(regionValueFile(), year / data::valueFileName(kForm), ec);
        data::Forma form;
        form.UNICOD = kForm;
        form.COD = "12";
        form.NAME = "Сведения о числе заболеваний";
        form.TIP = 1;
        std::vector<data::Region1> districts;
        std::vector<data::Bolnbol> facilities;
        for (int d = 1; d <= 28; ++d) districts.push_back({d, "Район " + std::to_string(d)});
        for (int f = 1; f <= kFacilities; ++f) {
            data::Bolnbol b;
            b.UNICOD = f;
            b.CODREG = f % 28 + 1;
            b.NAZV = "Учреждение " + std::to_string(f);
            facilities.push_back(b);
        }
        if (ec || !writeFile<data::Forma>(year / "Forma.dat", {form}) ||
            !writeFile<data::Region1>(dir / "REGION1.dat", districts) ||
            !writeFile<data::Bolnbol>(dir / "BOLN.dat", facilities) ||
            !writeFile<data::Viduch>(dir / "VIDUCH.dat", {{1, "ЦРБ"}})) {
            std::abort();
        }
        return data::Installation(dir);
    }();
    return inst;
}

void BM_Completeness(benchmark::State& state) {
    const data::Installation& inst = installation();
    const int64_t low = state.range(0), high = state.range(1);
    int64_t reports = 0;
    for (auto _ : state) {
        registry::CompletenessTable table;
        if (!registry::countCompleteness(inst, kYear, low, high, registry::CompletenessBy::Facilities, table)) {
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
