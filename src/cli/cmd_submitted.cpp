// tavir-cli submitted --form F [--from L] [--to U] [--excel]: the list of
// facilities that submitted a report of a form.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "cli/report_args.h"
#include "data/year_range.h"
#include "platform/desktop_opener.h"
#include "platform/numeric_text.h"
#include "registry/submitted_reports.h"

#include <ostream>

namespace tavir::cli {

namespace {

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--form", true}, {"--from", true}, {"--to", true}, {"--excel", false}}, 0, error)) {
        return usageError(ctx, error);
    }
    if (!args.has("--form")) return usageError(ctx, "не указан параметр --form");
    const auto form = platform::parseIntegerStrict(*args.value("--form"));
    if (!form || *form < 0 || *form > 999) return usageError(ctx, "неверный номер формы " + *args.value("--form"));
    std::optional<int64_t> from, to;
    if (!readPeriodBound(args, "--from", from, error) || !readPeriodBound(args, "--to", to, error)) {
        return usageError(ctx, error);
    }

    const data::Installation inst(ctx.workdir);
    CliInteraction ui(ctx.err);
    app::SharedState state;
    const data::YearRange range = data::findYearRange(ctx.workdir);
    state.globYear = ctx.year;
    state.globYearS = range.first;
    state.globYearE = range.last;
    ui.choose("ФОРМЫ", *args.value("--form"));
    registry::SubmittedReportsWindow window(inst, ui, state);
    bool chosen = false;
    if (auto st = window.openForm(chosen); !st) return fail(ctx, st.message());
    if (!chosen) return fail(ctx, "форма " + *args.value("--form") + " не выбрана");
    window.setBounds(from.value_or(window.low()), to.value_or(window.high()));
    // The message of a failed build is already on standard error.
    if (!window.rebuild()) return kExitFailure;

    if (args.has("--excel")) {
        platform::RecordingDesktopOpener opener;
        platform::SpreadsheetServer server(opener);
        std::filesystem::path workCopy;
        if (!window.exportList(server, &workCopy)) return kExitFailure;
        ctx.out << workCopy.string() << '\n';
        return kExitOk;
    }
    for (const auto& e : window.entries()) {
        ctx.out << e.facility << '\t' << tsvCell(e.districtName) << '\t' << tsvCell(e.kindName) << '\t'
                << tsvCell(e.facilityName) << '\t' << e.period << '\t' << tsvCell(e.periodText) << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command submittedCommand{
    "submitted",
    "список учреждений, сдавших отчет по форме",
    "Использование: tavir-cli submitted --form Ф [--from П1] [--to П2] [--excel]\n"
    "Выводит отчеты формы Ф рабочего года за периоды с П1 по П2, как окно \"СПИСОК УЧРЕЖДЕНИЙ\n"
    "СДАВШИХ ОТЧЕТ\", по строке TSV на отчет: код учреждения, район, вид ЛПУ, учреждение,\n"
    "период, период текстом. Без --from и --to обе границы - последний период в файле формы\n"
    "(для годовых форм 0).\n"
    "  --form Ф          номер формы\n"
    "  --from П1         первый период (для ежедневных форм - дата дд.мм.гг)\n"
    "  --to П2           последний период\n"
    "  --excel           выгрузить список в рабочую копию RAS1 и вывести ее путь\n",
    run,
};

}  // namespace tavir::cli
