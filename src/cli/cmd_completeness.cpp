// tavir-cli completeness --from M1 --to M2 [--by districts|facilities]
// [--daily] [--excel]: the completeness of reports over a range of months.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "cli/report_args.h"
#include "platform/desktop_opener.h"
#include "registry/completeness.h"

#include <ctime>
#include <ostream>

namespace tavir::cli {

namespace {

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv,
                    {{"--from", true}, {"--to", true}, {"--by", true}, {"--daily", false}, {"--excel", false}}, 0,
                    error)) {
        return usageError(ctx, error);
    }
    std::optional<int64_t> from, to;
    if (!readPeriodBound(args, "--from", from, error) || !readPeriodBound(args, "--to", to, error)) {
        return usageError(ctx, error);
    }
    if (!from) return usageError(ctx, "не указан параметр --from");
    if (!to) return usageError(ctx, "не указан параметр --to");
    registry::CompletenessBy by = registry::CompletenessBy::Districts;
    if (const std::string* b = args.value("--by")) {
        if (*b == "facilities") {
            by = registry::CompletenessBy::Facilities;
        } else if (*b != "districts") {
            return usageError(ctx, "неверное значение --by " + *b + " (districts или facilities)");
        }
    }

    const data::Installation inst(ctx.workdir);
    CliInteraction ui(ctx.err);
    app::SharedState state;
    state.globYear = ctx.year;
    registry::CompletenessWindow window(inst, ui, state);
    window.setDaily(args.has("--daily"));
    window.setBy(by);
    window.setBounds(*from, *to);
    // The message of a failed count is already on standard error.
    if (!window.run(std::time(nullptr))) return kExitFailure;

    if (args.has("--excel")) {
        platform::RecordingDesktopOpener opener;
        platform::SpreadsheetServer server(opener);
        std::filesystem::path workCopy;
        if (!window.exportTable(server, &workCopy)) return kExitFailure;
        ctx.out << workCopy.string() << '\n';
        return kExitOk;
    }
    const registry::CompletenessTable& table = window.table();
    ctx.out << "Код\tНаименование";
    for (const auto& c : table.columns) ctx.out << '\t' << c.form;
    ctx.out << '\n';
    for (const auto& r : table.rows) {
        if (!r.total) ctx.out << r.code;
        ctx.out << '\t' << tsvCell(r.name);
        for (int n : r.counts) ctx.out << '\t' << n;
        ctx.out << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command completenessCommand{
    "completeness",
    "полнота сдачи отчетов по районам или учреждениям",
    "Использование: tavir-cli completeness --from М1 --to М2 [--by districts|facilities] [--daily] [--excel]\n"
    "Считает сданные отчеты всех включенных форм рабочего года за месяцы с М1 по М2, как окно\n"
    "\"Полнота отчета\". Выводит строку заголовка (код, наименование, номера форм), затем строки\n"
    "таблицы, первой - \"Всего отчетов\".\n"
    "  --from М1, --to М2   месяцы (с --daily - даты дд.мм.гг)\n"
    "  --by districts       по районам (по умолчанию)\n"
    "  --by facilities      по ЛПУ\n"
    "  --daily              ежедневные отчеты: границы - даты\n"
    "  --excel              выгрузить таблицу в рабочую копию RAS и вывести ее путь\n",
    run,
};

}  // namespace tavir::cli
