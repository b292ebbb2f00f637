// tavir-cli reports --form F …: the report list of a form after its filters,
// or the request that one of its analysis buttons would hand on.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "cli/report_args.h"
#include "platform/numeric_text.h"
#include "registry/report_list.h"

#include <ostream>

namespace tavir::cli {

namespace {

bool hasChoice(const std::vector<entry::Choice>& choices, int code) {
    return std::any_of(choices.begin(), choices.end(), [code](const auto& c) { return c.code == code; });
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv,
                    {{"--form", true}, {"--from", true}, {"--to", true}, {"--district", true}, {"--kind", true},
                     {"--no-town"}, {"--no-village"}, {"--mark", true}, {"--request", true}},
                    0, error)) {
        return usageError(ctx, error);
    }
    if (!args.has("--form")) return usageError(ctx, "не указан параметр --form");
    for (std::string_view option : {"--form", "--from", "--to", "--district", "--kind"}) {
        if (args.has(option) && !args.integer(option)) {
            return usageError(ctx, "неверное значение " + std::string(option) + " " + *args.value(option));
        }
    }
    std::vector<registry::ReportRef> marks;
    if (args.has("--mark") && !parseReportList(*args.value("--mark"), marks)) {
        return usageError(ctx, "неверный список --mark " + *args.value("--mark") + " (нужно ЛПУ:ПЕРИОД,…)");
    }
    std::optional<registry::Analysis> analysis;
    if (const std::string* r = args.value("--request")) {
        if (*r == "consolidation") {
            analysis = registry::Analysis::Consolidation;
        } else if (*r == "breakdown") {
            analysis = registry::Analysis::Breakdown;
        } else if (*r == "indicators") {
            analysis = registry::Analysis::Indicators;
        } else {
            return usageError(ctx, "неверное значение --request " + *r);
        }
    }

    const data::Installation inst(ctx.workdir);
    app::SharedState state;
    const data::YearRange range = data::findYearRange(ctx.workdir);
    state.globYear = ctx.year;
    state.globYearS = range.first;
    state.globYearE = range.last;
    CliInteraction ui(ctx.err);
    ui.choose("ФОРМЫ", *args.value("--form"));
    registry::ReportListWindow window(inst, state, ui);
    bool chosen = false;
    if (auto st = window.openForm(chosen); !st) return fail(ctx, st.message());
    if (!chosen) return fail(ctx, "форма " + *args.value("--form") + " не выбрана");

    const auto from = args.integer("--from"), to = args.integer("--to");
    if (from) window.setLower(*from);
    if (to || from) window.setUpper(to ? *to : *from);
    if (auto st = window.build(); !st) return fail(ctx, st.message());

    if (const auto district = args.integer("--district")) {
        if (!hasChoice(window.districtChoices(), static_cast<int>(*district))) {
            return fail(ctx, "нет района " + *args.value("--district"));
        }
        window.chooseDistrict(static_cast<int>(*district));
    }
    if (const auto kind = args.integer("--kind")) {
        if (!hasChoice(window.kindChoices(), static_cast<int>(*kind))) {
            return fail(ctx, "нет вида ЛПУ " + *args.value("--kind"));
        }
        window.chooseKind(static_cast<int>(*kind));
    }
    if (args.has("--no-town")) window.setTown(false);
    if (args.has("--no-village")) window.setVillage(false);
    for (const registry::ReportRef& mark : marks) {
        const auto& entries = window.entries();
        auto it = std::find_if(entries.begin(), entries.end(), [&](const registry::ReportListEntry& e) {
            return e.facility == mark.facility && e.period == mark.period;
        });
        if (it == entries.end()) {
            return fail(ctx, "в списке нет отчета " + std::to_string(mark.facility) + ":" + std::to_string(mark.period));
        }
        window.toggle(static_cast<int>(it - entries.begin()));
    }

    if (analysis) {
        // A refused request has shown its message on standard error.
        const auto request = window.request(*analysis);
        if (!request) return kExitFailure;
        ctx.out << tsvCell(request->title) << '\n' << request->district << '\n';
        for (const auto& r : request->chosen) ctx.out << r.facility << '\t' << window.periodText(r.period) << '\n';
        return kExitOk;
    }
    for (const auto& e : window.entries()) {
        ctx.out << e.number << '\t' << e.facility << '\t' << window.periodText(e.period) << '\t' << e.markText()
                << '\t' << tsvCell(e.districtName) << '\t' << tsvCell(e.kindName) << '\t' << tsvCell(e.settlement)
                << '\t' << tsvCell(e.facilityName) << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command reportsCommand{
    "reports",
    "список отчетов формы и запрос анализа",
    "Использование: tavir-cli reports --form Ф [--from П1] [--to П2] [--district Р] [--kind В]\n"
    "                 [--no-town] [--no-village] [--mark ЛПУ:ПЕРИОД[,…]]\n"
    "                 [--request consolidation|breakdown|indicators]\n"
    "Выводит список отчетов формы Ф рабочего года за периоды с П1 по П2 (без них - за последний\n"
    "период, за который есть отчеты; только --from - за один период П1), по строке TSV на отчет:\n"
    "N, код ЛПУ, период, отметка (o), район, вид, село, учреждение. Район (0, код района,\n"
    "300 районы, 400 города, 500 муниципальные), вид ЛПУ, снятые галочки \"Город\" и \"Село\"\n"
    "выбираются в этом порядке и каждый раз заново отмечают список, затем --mark переключает\n"
    "отметку названных отчетов. С --request выводит запрос, который передала бы кнопка анализа:\n"
    "заголовок, код района, затем отобранные отчеты (код ЛПУ, период). Отказ в запросе\n"
    "(\"ТАКИХ ОТЧЕТОВ НЕТ\", отмечены ЛПУ другого района) - код выхода 1.\n",
    run,
};

}  // namespace tavir::cli
