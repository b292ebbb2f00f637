// tavir-cli export-table --form F --facility N --period P --table T: the
// table export of report entry for a stored report; prints the work copy's path.

#include "analysis/table_export.h"
#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "cli/report_args.h"
#include "data/record_binding.h"
#include "maintenance/report_print.h"
#include "platform/desktop_opener.h"
#include "platform/number_format.h"
#include "platform/text.h"

#include <map>
#include <ostream>

namespace tavir::cli {

namespace {

platform::Status tableRecord(const data::Installation& inst, int year, int form, int table,
                             std::optional<data::Tabl>& found) {
    data::RecordFile<data::Tabl> file(inst.tablFile(year));
    if (auto st = file.open(); !st) return st;
    auto cursor = file.equal("TAB:TAB1", {form, table});
    data::Tabl t;
    if (cursor.next(t)) found = t;
    return cursor.status();
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--form", true}, {"--facility", true}, {"--period", true}, {"--table", true}}, 0,
                    error)) {
        return usageError(ctx, error);
    }
    ReportArgs report;
    if (!readReportArgs(args, true, report, error)) return usageError(ctx, error);

    const data::Installation inst(ctx.workdir);
    std::optional<data::Tabl> table;
    if (auto st = tableRecord(inst, ctx.year, report.form, *report.table, table); !st) return fail(ctx, st.message());
    if (!table) {
        return fail(ctx, "В форме " + platform::formatNumber(report.form) + " нет таблицы " +
                             platform::formatNumber(*report.table));
    }
    maintenance::PrintRequest stored;
    if (auto st = maintenance::storedReportRequest(inst, ctx.year, report.form, report.facility, report.period,
                                                   stored);
        !st) {
        return fail(ctx, st.message());
    }
    analysis::TableExportInput input;
    input.form = report.form;
    input.table = *table;
    input.heading = platform::cutToWidth(stored.label, 50);
    if (auto st = analysis::loadTableReference(inst, ctx.year, input); !st) return fail(ctx, st.message());

    // The grid as the entry window shows the table: each of its rows in row
    // order, with the stored values.
    std::map<int, const maintenance::PrintRow*> values;
    for (const auto& r : stored.rows) values[r.UNICODSTR] = &r;
    for (const auto& s : input.rows) {
        analysis::TableExportInput::GridRow row;
        row.unicod = s.UNICOD;
        if (auto v = values.find(s.UNICOD); v != values.end()) row.values = v->second->DATA;
        input.grid.push_back(row);
    }

    CliInteraction ui(ctx.err);
    platform::RecordingDesktopOpener opener;
    platform::SpreadsheetServer server(opener);
    std::filesystem::path workCopy;
    if (auto st = analysis::exportTable(server, ui, inst, analysis::directStartFolder(), input, &workCopy); !st) {
        return kExitFailure;
    }
    ctx.out << workCopy.string() << '\n';
    return kExitOk;
}

}  // namespace

extern const Command exportTableCommand{
    "export-table",
    "выгрузка таблицы хранимого отчета в рабочую копию xlsx",
    "Использование: tavir-cli export-table --form Ф --facility ЛПУ --period П --table Т\n"
    "Выгружает таблицу отчета учреждения за период рабочего года так же, как кнопка\n"
    "\"Выгрузка таблицы в Excel\" ввода отчетов, и выводит путь рабочей копии.\n"
    "  --form Ф          номер формы\n"
    "  --facility ЛПУ    код учреждения (BOL:UNICOD)\n"
    "  --period П        код периода (0 для годовых форм)\n"
    "  --table Т         код таблицы\n",
    run,
};

}  // namespace tavir::cli
