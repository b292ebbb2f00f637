// tavir-cli consolidate --form F …: the consolidation of a request as the
// window "Свод" shows it, table by table; its controls, its comparison with
// the year before, or the export of one table.

#include "analysis/consolidation_window.h"
#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "cli/report_args.h"
#include "data/record_binding.h"
#include "exchange/report_export.h"
#include "platform/desktop_opener.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "registry/report_list.h"
#include "registry/report_scan.h"

#include <ostream>

namespace tavir::cli {

namespace {

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv,
                    {{"--form", true}, {"--from", true}, {"--to", true}, {"--district", true}, {"--reports", true},
                     {"--no-column-kinds"}, {"--table", true}, {"--filled-only"}, {"--check"},
                     {"--compare-previous-year"}, {"--excel"}, {"--export-to", true}},
                    0, error)) {
        return usageError(ctx, error);
    }
    if (!args.has("--form")) return usageError(ctx, "не указан параметр --form");
    for (std::string_view option : {"--form", "--from", "--to", "--district", "--table"}) {
        if (args.has(option) && !args.integer(option)) {
            return usageError(ctx, "неверное значение " + std::string(option) + " " + *args.value(option));
        }
    }
    registry::AnalysisRequest request;
    if (args.has("--reports") && !parseReportList(*args.value("--reports"), request.chosen)) {
        return usageError(ctx, "неверный список --reports " + *args.value("--reports") + " (нужно ЛПУ:ПЕРИОД,…)");
    }
    if (args.has("--excel") && !args.has("--table")) return usageError(ctx, "--excel выгружает одну таблицу: нужен --table");

    const data::Installation inst(ctx.workdir);
    request.form = static_cast<int>(*args.integer("--form"));
    request.year = ctx.year;
    std::vector<data::Forma> forms;
    if (auto st = data::readAll(inst.formaFile(ctx.year), forms); !st) return fail(ctx, st.message());
    auto form = std::find_if(forms.begin(), forms.end(), [&](const auto& f) { return f.UNICOD == request.form; });
    if (form == forms.end()) return fail(ctx, "В справочнике " + std::to_string(ctx.year) + " нет формы " + *args.value("--form"));
    request.formNumber = form->COD;
    request.formName = form->NAME;
    request.periodType = form->TIP;
    request.ignoreColumnKinds = args.has("--no-column-kinds");
    request.district = static_cast<int>(args.integer("--district").value_or(0));

    // The periods as the report list would hand them: the latest stored one
    // unless given, 0 for annual forms.
    if (request.periodType != 0) {
        const auto from = args.integer("--from"), to = args.integer("--to");
        if (from || to) {
            request.lower = from.value_or(1);
            request.upper = to.value_or(*from);
        } else {
            int64_t latest = 0;
            if (auto st = registry::latestPeriod(inst.valueFile(ctx.year, request.form), latest); !st) {
                return fail(ctx, st.message());
            }
            request.lower = request.upper = std::max<int64_t>(latest, 1);
        }
    }
    std::sort(request.chosen.begin(), request.chosen.end());
    std::string subject(registry::kRegionText);
    if (!request.chosen.empty()) {
        subject += "(" + std::to_string(request.chosen.size()) + "отчетов)";
    } else if (request.district > 0) {
        std::vector<data::Region1> districts;
        if (auto st = data::readAll(inst.region1File(), districts); !st) return fail(ctx, st.message());
        auto d = std::find_if(districts.begin(), districts.end(), [&](const auto& r) { return r.CODREG == request.district; });
        subject = d == districts.end() ? "район " + std::to_string(request.district) : d->NAME;
    }
    request.title = registry::periodDescription(ctx.year, request.periodType, request.lower, request.upper,
                                                !request.chosen.empty()) +
                    subject;

    CliInteraction ui(ctx.err);
    app::SharedState state;
    state.globYear = ctx.year;
    analysis::ConsolidationWindow window(inst, state, ui, request);
    if (auto st = window.open(); !st) return kExitFailure;
    if (args.has("--compare-previous-year")) {
        if (auto st = window.setComparing(true); !st || !window.comparing()) return kExitFailure;
    }

    if (args.has("--export-to")) {
        // The consolidated exchange file of the installation's subject.
        app::Subject subject;
        if (auto st = installationSubject(inst, subject); !st) return fail(ctx, st.message());
        int64_t written = 0;
        std::filesystem::path file;
        if (auto st = exchange::exportConsolidation(inst, ui, ctx.year, subject, *args.value("--export-to"),
                                                    request.form, window.exportPeriod(), window.exportRows(), file,
                                                    written);
            !st) {
            return kExitFailure;
        }
        ctx.out << written << '\t' << file.string() << '\n';
        return kExitOk;
    }
    if (args.has("--check")) {
        std::vector<controls::ResultEntry> lines;
        if (auto st = window.controlLines(lines); !st) return fail(ctx, st.message());
        for (const auto& l : lines) {
            ctx.out << l.rule << '\t' << platform::formatNumber(l.deviation) << '\t' << tsvCell(l.text) << '\n';
        }
        return kExitOk;
    }
    const auto table = args.integer("--table");
    if (args.has("--filled-only")) window.setFilledOnly(true);
    bool found = false;
    for (int i = 0; i < static_cast<int>(window.tables().size()); ++i) {
        if (table && window.tables()[static_cast<size_t>(i)].code != *table) continue;
        found = true;
        if (i != window.current()) window.selectTable(i);
        if (args.has("--excel")) {
            platform::RecordingDesktopOpener opener;
            platform::SpreadsheetServer server(opener);
            std::filesystem::path workCopy;
            if (auto st = window.exportTable(server, &workCopy); !st) return kExitFailure;
            ctx.out << workCopy.string() << '\n';
            return kExitOk;
        }
        const analysis::ConsolidationTable& t = window.currentTable();
        for (int r = 0; r < static_cast<int>(window.grid().size()); ++r) {
            const analysis::ConsolidationGridRow& row = window.grid()[static_cast<size_t>(r)];
            ctx.out << t.code << '\t' << tsvCell(row.code) << '\t' << row.unicod;
            for (int v = 1; v <= std::min(t.a, analysis::kConsolidatedValues); ++v) {
                ctx.out << '\t' << platform::formatNumber(row.values[static_cast<size_t>(v - 1)]);
                if (window.comparing()) ctx.out << '\t' << platform::formatNumber(window.previousValue(r, v));
            }
            ctx.out << '\n';
        }
    }
    if (!found) return fail(ctx, "В форме " + std::to_string(request.form) + " нет таблицы " + *args.value("--table"));
    return kExitOk;
}

}  // namespace

extern const Command consolidateCommand{
    "consolidate",
    "свод отчетов формы за период",
    "Использование: tavir-cli consolidate --form Ф [--from П1] [--to П2] [--district Р]\n"
    "                 [--reports ЛПУ:ПЕРИОД[,…]] [--no-column-kinds] [--table Т] [--filled-only]\n"
    "                 [--check] [--compare-previous-year] [--excel] [--export-to ПУТЬ]\n"
    "Сводит отчеты формы Ф рабочего года за периоды с П1 по П2 (без них - за последний период,\n"
    "за который есть отчеты) по всей области, району Р или названным отчетам и выводит строки\n"
    "свода, как их показывает окно \"Свод\", по строке TSV: таблица, код строки, уникальный код\n"
    "строки, значения граф 1..TAB:A точными числами.\n"
    "  --no-column-kinds        \"без учета типа граф\": все графы суммируются за весь период\n"
    "  --table Т                только таблица Т\n"
    "  --filled-only            только заполненные строки\n"
    "  --check                  вместо строк - результат внутриформенного контроля свода\n"
    "  --compare-previous-year  после каждого значения - значение свода прошлого года\n"
    "  --excel                  выгрузить таблицу Т в рабочую копию xlsx и вывести ее путь\n"
    "  --export-to ПУТЬ         \"Экспорт свода\": записать свод в файл обмена ПУТЬ + \"ssw\" + код\n"
    "                           пользователя + \"F\" + форма + \".dat\" (\"\\\" в конце пути не\n"
    "                           добавляется) и вывести число записей и путь файла\n",
    run,
};

}  // namespace tavir::cli
