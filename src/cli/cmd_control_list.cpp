// tavir-cli control-list --form F: the intra-form rules of a form as formulas.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "controls/control_list.h"
#include "platform/numeric_text.h"

#include <ostream>

namespace tavir::cli {

namespace {

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--form", true}}, 0, error)) return usageError(ctx, error);
    if (!args.has("--form")) return usageError(ctx, "не указан параметр --form");
    const auto form = platform::parseIntegerStrict(*args.value("--form"));
    if (!form || *form < 0 || *form > 999) return usageError(ctx, "неверный номер формы " + *args.value("--form"));

    controls::FormRules rules;
    if (auto st = controls::loadFormRules(data::Installation(ctx.workdir), ctx.year, static_cast<int>(*form), rules);
        !st) {
        return fail(ctx, st.message());
    }
    const controls::ControlLists lists = controls::buildControlLists(rules);
    for (const auto& r : lists.columnRules) {
        ctx.out << "По графам\t" << r.rule << '\t' << r.table << '\t' << tsvCell(r.row) << '\t' << tsvCell(r.formula)
                << '\n';
    }
    for (const auto& r : lists.rowRules) {
        ctx.out << "По строкам\t" << r.rule << '\t' << r.table << '\t' << r.column << '\t' << tsvCell(r.formula) << '\n';
    }
    for (const auto& r : lists.tableRules) {
        ctx.out << "Межтабличный\t" << r.rule << '\t' << r.table << '\t' << tsvCell(r.code) << '\t'
                << tsvCell(r.formula) << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command controlListCommand{
    "control-list",
    "список контролей формы",
    "Использование: tavir-cli control-list --form Ф\n"
    "Выводит контроли формы Ф рабочего года формулами, по строке TSV на контроль: вкладка\n"
    "(По графам, По строкам, Межтабличный), номер контроля, таблица, строка (для контролей\n"
    "по графам; у межтабличных - строка левой части) или графа (для контролей по строкам), формула.\n",
    run,
};

}  // namespace tavir::cli
