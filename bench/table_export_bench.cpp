// The spreadsheet side of a large report table: the table export of 1000
// grid rows × 25 value columns (25,000 pokes, every value filled) into a
// work copy of the generic template, saved and handed to the opener; and the
// printout of the same table as print pages.
#include "analysis/table_export.h"
#include "data/paths.h"
#include "maintenance/report_print.h"
#include "platform/desktop_opener.h"
#include "platform/scripted_interaction.h"
#include "platform/spreadsheet_channel.h"
#include "platform/xlsx_workbook.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

using namespace tavir;

namespace {

constexpr int kRows = 1000;
constexpr int kValues = 25;
constexpr int kForm = 12;
constexpr int kTable = 1000;

std::filesystem::path benchDir() {
    return std::filesystem::temp_directory_path() / ("tavir-export-bench-" + std::to_string(::getpid()));
}

analysis::TableExportInput input() {
    analysis::TableExportInput in;
    in.form = kForm;
    in.table.CODFORM = kForm;
    in.table.CODTABL = kTable;
    in.table.NAME = "Большая таблица";
    in.table.SM = 2;
    in.table.A = kValues;
    in.heading = "Алексеевский р-н, Алексеевская ЦРБ";
    for (int c = 1; c <= 2 + kValues; ++c) {
        data::Grafa g;
        g.CODFORM = kForm;
        g.CODTABL = kTable;
        g.COD = c;
        g.NAME = "Графа " + std::to_string(c);
        g.TYPEGR = c <= 2 ? c : 0;
        g.L = 10;
        g.FORMAT = "@N12.2";
        in.columns.push_back(g);
    }
    for (int r = 1; r <= kRows; ++r) {
        data::Stroka s;
        s.CODFORM = kForm;
        s.CODTABL = kTable;
        s.UNICOD = r;
        s.NUMBER = r;
        s.CODSTR = std::to_string(r);
        s.NAME = "Строка отчета номер " + std::to_string(r);
        in.rows.push_back(s);
        analysis::TableExportInput::GridRow g;
        g.unicod = r;
        for (int v = 0; v < kValues; ++v) g.values[v] = platform::Decimal::fromDouble(r * 100 + v + 0.25);
        in.grid.push_back(g);
    }
    return in;
}

void BM_TableExport(benchmark::State& state) {
    const auto dir = benchDir();
    std::filesystem::create_directories(dir / "work" / "XLS");
    if (!platform::XlsxWorkbook::createNew().save(dir / "work" / "XLS" / "swod.xlsx")) std::abort();
    const data::Installation installation(dir / "work");
    const analysis::TableExportInput in = input();
    for (auto _ : state) {
        platform::RecordingDesktopOpener opener;
        platform::SpreadsheetServer server(opener);
        platform::ScriptedInteraction ui;
        if (!analysis::exportTable(server, ui, installation, dir / "temp", in)) std::abort();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TableExport)->Unit(benchmark::kMillisecond);

void BM_TablePrintout(benchmark::State& state) {
    const analysis::TableExportInput in = input();
    maintenance::PrintRequest request;
    request.year = 2026;
    request.form = kForm;
    request.formName = "Форма";
    request.label = in.heading;
    request.currentTable = kTable;
    request.tables.push_back({kTable, in.table.NAME, in.table.SM, in.table.A, 0});
    for (const auto& g : in.grid) request.rows.push_back({g.unicod, g.values});
    maintenance::PrintReference reference{in.rows, in.columns};
    maintenance::PrintOptions options;
    options.heading = "Заголовок";
    for (auto _ : state) {
        platform::Document doc = maintenance::reportPrintout(request, reference, options, "11.12.26  10:00:00");
        benchmark::DoNotOptimize(doc.pages.size());
    }
}
BENCHMARK(BM_TablePrintout)->Unit(benchmark::kMillisecond);

}  // namespace
