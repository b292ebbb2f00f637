// Report entry on a form of 4 tables with 250 rows in all (10 value columns,
// a column total and a row total per table, a column rule per table), in a
// value file at regional size: 300 facilities × 12 months × 250 rows.
// Measures opening a report (edit mark, report cache, first table), moving
// to the next table and back, and saving the whole report.
#include "app/shared_state.h"
#include "data/paths.h"
#include "data/record_binding.h"
#include "data/records.h"
#include "entry/report_editor.h"
#include "platform/scripted_interaction.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <unistd.h>

using namespace tavir;

namespace {

constexpr int kYear = 2026;
constexpr int kForm = 12;
constexpr int kTables = 4;
constexpr int kRows = 250;
constexpr int kValues = 10;
constexpr int kFacilities = 300;
constexpr int kMonths = 12;
constexpr int kFacility = 150;
constexpr int kMonth = 6;

template <class T>
void write(const std::filesystem::path& path, std::vector<T> records) {
    if (!platform::KeyedFile::create(data::defOf<T>(), path)) std::abort();
    data::RecordFile<T> file(path);
    if (!file.open()) std::abort();
    platform::Transaction tx(file);
    for (T& r : records) {
        if (!file.add(r)) std::abort();
    }
    if (!tx.commit()) std::abort();
}

int tableOf(int row) { return 1000 * (1 + (row - 1) * kTables / kRows); }

const data::Installation& installation() {
    static const data::Installation inst = [] {
        auto dir = std::filesystem::temp_directory_path() / ("tavir-entry-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / data::yearDirName(kYear));
        data::Installation in(dir);
        write<data::Wwod>(in.wwodFile(), {});

        std::vector<data::Tabl> tables;
        std::vector<data::Grafa> columns;
        std::vector<data::Rash> rules;
        std::vector<data::ContrGr> checks;
        for (int t = 1; t <= kTables; ++t) {
            data::Tabl tab;
            tab.UNICODT = t;
            tab.CODFORM = kForm;
            tab.CODTABL = 1000 * t;
            tab.NAME = "Таблица " + std::to_string(t);
            tab.SM = 2;
            tab.A = kValues;
            tables.push_back(tab);
            for (int c = 1; c <= 2 + kValues; ++c) {
                data::Grafa g;
                g.CODFORM = kForm;
                g.CODTABL = tab.CODTABL;
                g.COD = c;
                g.NAME = "Графа " + std::to_string(c);
                g.NAMEL = "гр" + std::to_string(c);
                columns.push_back(g);
            }
            data::Rash column;
            column.ID = 2 * t;
            column.CODFORM = kForm;
            column.CODTAB = tab.CODTABL;
            column.TIPRASH = 1;
            column.GS = 1;
            for (int k = 0; k < kValues - 1; ++k) column.GS1[k] = k + 2;
            data::Rash row = column;
            row.ID = 2 * t + 1;
            row.TIPRASH = 2;
            row.GS = 1;
            row.GS1 = {};
            for (int k = 0; k < 40; ++k) row.GS1[k] = k + 2;
            rules.push_back(column);
            rules.push_back(row);
            data::ContrGr check;
            check.UNICOD = t;
            check.CODFORM = kForm;
            check.CODTABL = tab.CODTABL;
            check.S = 3;
            check.SNAK = 3;
            check.S1 = {4, 5};
            checks.push_back(check);
        }
        std::vector<data::Stroka> rows;
        for (int r = 1, number = 1; r <= kRows; ++r) {
            if (r > 1 && tableOf(r) != tableOf(r - 1)) number = 1;
            data::Stroka s;
            s.UNICOD = r;
            s.CODFORM = kForm;
            s.CODTABL = tableOf(r);
            s.NUMBER = number++;
            s.CODSTR = std::to_string(s.NUMBER);
            s.NAME = "Строка " + s.CODSTR + " с достаточно длинным названием показателя";
            s.NAMEL = "Строка " + s.CODSTR;
            rows.push_back(s);
        }
        write(in.tablFile(kYear), tables);
        write(in.grafaFile(kYear), columns);
        write(in.rashFile(kYear), rules);
        write(in.contrGrFile(kYear), checks);
        write(in.strokaFile(kYear), rows);

        // Every facility's monthly reports, about eight non-zero values a row.
        const auto valuePath = in.valueFile(kYear, kForm);
        if (!platform::KeyedFile::create(data::defOf<data::Otchet>(), valuePath)) std::abort();
        data::RecordFile<data::Otchet> file(valuePath);
        if (!file.open()) std::abort();
        platform::Transaction tx(file);
        std::mt19937 rng(7);
        for (int mes = 1; mes <= kMonths; ++mes) {
            for (int uch = 1; uch <= kFacilities; ++uch) {
                for (int r = 1; r <= kRows; ++r) {
                    data::Otchet o;
                    o.CODREG = uch % 28 + 1;
                    o.CODUCH = uch;
                    o.CODTAB = tableOf(r);
                    o.MES = mes;
                    o.TIP = 1;
                    o.UNICODSTR = r;
                    for (int k = 0; k < 8; ++k) o.DATA[rng() % kValues] = platform::Decimal::fromMilli((rng() % 100000) * 10);
                    if (!file.add(o)) std::abort();
                }
            }
        }
        if (!tx.commit()) std::abort();
        file.close();
        return in;
    }();
    return inst;
}

entry::ChosenReport report() {
    entry::ChosenReport r;
    r.year = kYear;
    r.formCode = kForm;
    r.formName = "Сведения";
    r.periodType = 1;
    r.period = kMonth;
    r.district = kFacility % 28 + 1;
    r.facility = kFacility;
    r.facilityName = "ЦРБ";
    return r;
}

void BM_OpenReport(benchmark::State& state) {
    const data::Installation& inst = installation();
    app::SharedState shared;
    platform::ScriptedInteraction ui;
    for (auto _ : state) {
        entry::ReportEditor editor(inst, ui, shared, report());
        if (!editor.start()) state.SkipWithError("not opened");
        benchmark::DoNotOptimize(editor.cache().size());
        // Closing releases the edit mark, a write of its own: not part of opening.
        state.PauseTiming();
        editor.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenReport)->Unit(benchmark::kMillisecond);

// One step is a move to the next table (sync, then the table's rows,
// columns, rules and the quiet check of every row).
void BM_SwitchTable(benchmark::State& state) {
    const data::Installation& inst = installation();
    app::SharedState shared;
    platform::ScriptedInteraction ui;
    entry::ReportEditor editor(inst, ui, shared, report());
    if (!editor.start()) state.SkipWithError("not opened");
    for (auto _ : state) {
        if (!(editor.isLastTable() ? editor.selectTable(0) : editor.nextTable())) state.SkipWithError("ended");
        benchmark::DoNotOptimize(editor.grid().size());
    }
    ui.answerAsk(2);
    editor.close();
}
BENCHMARK(BM_SwitchTable)->Unit(benchmark::kMillisecond);

// The whole report rewritten in one transaction after a change.
void BM_SaveReport(benchmark::State& state) {
    const data::Installation& inst = installation();
    app::SharedState shared;
    platform::ScriptedInteraction ui;
    entry::ReportEditor editor(inst, ui, shared, report());
    if (!editor.start()) state.SkipWithError("not opened");
    int64_t n = 0;
    for (auto _ : state) {
        editor.setValue(0, 2, platform::Decimal::fromMilli(++n));
        if (!editor.saveReport(false)) state.SkipWithError("not saved");
    }
    editor.close();
}
BENCHMARK(BM_SaveReport)->Unit(benchmark::kMillisecond);

}  // namespace
