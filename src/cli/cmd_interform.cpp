// tavir-cli interform --rule N --scope SCOPE: one inter-form rule for the
// subjects of the scope, one TSV line per violating subject.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "controls/interform_run.h"
#include "data/records.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"

#include <ostream>

namespace tavir::cli {

namespace {

using controls::InterformScope;

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--rule", true}, {"--scope", true}}, 0, error)) return usageError(ctx, error);
    if (!args.has("--rule")) return usageError(ctx, "не указан параметр --rule");
    if (!args.has("--scope")) return usageError(ctx, "не указан параметр --scope");
    const auto rule = platform::parseIntegerStrict(*args.value("--rule"));
    if (!rule || *rule < 0) return usageError(ctx, "неверный номер контроля " + *args.value("--rule"));

    const std::string& scope = *args.value("--scope");
    const size_t colon = scope.find(':');
    const std::string kind = scope.substr(0, colon);
    std::optional<int64_t> code;
    if (colon != std::string::npos) code = platform::parseIntegerStrict(scope.substr(colon + 1));
    const bool needsCode = kind == "facility" || kind == "district";
    if (needsCode != (colon != std::string::npos) || (needsCode && (!code || *code < 0))) {
        return usageError(ctx, "неверная область контроля " + scope);
    }

    const data::Installation inst(ctx.workdir);
    entry::Choice district, facility;
    InterformScope run;
    if (kind == "facility") {
        run = InterformScope::Facility;
        data::RecordFile<data::Bolnbol> file(inst.bolnFile());
        if (auto st = file.open(); !st) return fail(ctx, st.message());
        auto cursor = file.equal("BOL:KEYUNICOD", {*code});
        data::Bolnbol b;
        if (!cursor.next(b)) return fail(ctx, "Нет учреждения " + platform::formatNumber(*code));
        facility = {b.UNICOD, b.NAZV};
    } else if (kind == "facilities") {
        run = InterformScope::Facilities;
    } else if (kind == "district") {
        run = InterformScope::District;
        data::RecordFile<data::Region1> file(inst.region1File());
        if (auto st = file.open(); !st) return fail(ctx, st.message());
        auto cursor = file.equal("REG:KEYCODREG", {*code});
        data::Region1 r;
        if (!cursor.next(r)) return fail(ctx, "Нет района " + platform::formatNumber(*code));
        district = {r.CODREG, r.NAME};
    } else if (kind == "districts") {
        run = InterformScope::Districts;
    } else if (kind == "region") {
        run = InterformScope::Region;
    } else {
        return usageError(ctx, "неверная область контроля " + scope);
    }

    CliInteraction ui(ctx.err);
    const entry::ChooserContext env{inst, ui, ctx.year, {}};
    std::vector<controls::InterformResult> results;
    bool found = false;
    if (auto st = controls::runInterform(env, *rule, run, district, facility, results, found); !st) {
        return fail(ctx, st.message());
    }
    if (!found) return kExitFailure;
    for (const auto& r : results) {
        ctx.out << r.code << '\t' << tsvCell(r.name) << '\t' << r.mark << '\t' << platform::formatNumber(r.sum) << '\t'
                << tsvCell(r.text) << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command interformCommand{
    "interform",
    "межформенный контроль",
    "Использование: tavir-cli interform --rule N --scope ОБЛАСТЬ\n"
    "Вычисляет межформенный контроль N (ContrMF.dat рабочего года) по всем периодам года и\n"
    "выводит по строке TSV на каждый субъект, нарушивший его: код, наименование, отметка,\n"
    "сумма, слагаемые. Нарушения - результат, а не ошибка: код выхода 0.\n"
    "  --scope ОБЛАСТЬ  facility:КОД (одно ЛПУ), facilities (все ЛПУ), district:КОД (район),\n"
    "                   districts (районы по одному), region (область)\n",
    run,
};

}  // namespace tavir::cli
