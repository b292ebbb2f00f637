// tavir-cli print-report --form F --facility N --period P [--table T]
// [--filled-only] --pdf OUT: the printout of a stored report, or of one of
// its tables, as a PDF file.

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/report_args.h"
#include "maintenance/report_print.h"
#include "platform/number_format.h"

#include <algorithm>
#include <ctime>

#ifdef TAVIR_CLI_PDF
#include "ui/platform/pdf_export.h"
#endif

namespace tavir::cli {

namespace {

platform::Status writePdf(const platform::Document& document, const std::filesystem::path& path) {
#ifdef TAVIR_CLI_PDF
    // Fonts need a Qt application; this one lives until the file is written.
    int argc = 1;
    char name[] = "tavir-cli";
    char* argv[] = {name, nullptr};
    const auto app = ui::ensureGuiApplication(argc, argv);
    return ui::renderToPdf(document, path);
#else
    (void)document;
    (void)path;
    return platform::Status::fail(platform::ErrorKind::Invalid,
                                  "вывод в PDF не собран: tavir-cli собран без Qt (TAVIR_GUI выключен)");
#endif
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv,
                    {{"--form", true}, {"--facility", true}, {"--period", true}, {"--table", true},
                     {"--filled-only", false}, {"--pdf", true}},
                    0, error)) {
        return usageError(ctx, error);
    }
    ReportArgs report;
    if (!readReportArgs(args, false, report, error)) return usageError(ctx, error);
    if (!args.has("--pdf")) return usageError(ctx, "не указан параметр --pdf");

    const data::Installation inst(ctx.workdir);
    maintenance::PrintRequest request;
    if (auto st = maintenance::storedReportRequest(inst, ctx.year, report.form, report.facility, report.period,
                                                   request);
        !st) {
        return fail(ctx, st.message());
    }
    maintenance::PrintOptions options;
    options.heading = maintenance::printHeading(request);
    options.filledOnly = args.has("--filled-only");
    if (report.table) {
        const bool known = std::any_of(request.tables.begin(), request.tables.end(),
                                       [&](const auto& t) { return t.CODTABL == *report.table; });
        if (!known) {
            return fail(ctx, "В форме " + platform::formatNumber(report.form) + " нет таблицы " +
                                 platform::formatNumber(*report.table));
        }
        request.currentTable = *report.table;
        options.scope = maintenance::PrintScope::Table;
    }
    maintenance::PrintReference reference;
    if (auto st = maintenance::loadPrintReference(inst, ctx.year, report.form, reference); !st) {
        return fail(ctx, st.message());
    }
    const platform::Document document =
        maintenance::reportPrintout(request, reference, options, maintenance::printDateText(std::time(nullptr)));
    if (auto st = writePdf(document, *args.value("--pdf")); !st) return fail(ctx, st.message());
    return kExitOk;
}

}  // namespace

extern const Command printReportCommand{
    "print-report",
    "печать хранимого отчета в PDF",
    "Использование: tavir-cli print-report --form Ф --facility ЛПУ --period П [--table Т] [--filled-only] --pdf ФАЙЛ\n"
    "Печатает отчет учреждения за период рабочего года так же, как кнопка печати ввода отчетов,\n"
    "и записывает страницы в файл PDF.\n"
    "  --form Ф          номер формы\n"
    "  --facility ЛПУ    код учреждения (BOL:UNICOD)\n"
    "  --period П        код периода (0 для годовых форм)\n"
    "  --table Т         только таблица Т (\"Таблицу\"), иначе весь отчет\n"
    "  --filled-only     только заполненные строки\n"
    "  --pdf ФАЙЛ        файл PDF, который будет записан\n",
    run,
};

}  // namespace tavir::cli
