// tavir-cli controls --form F[,F…] --from M1 --to M2 --scope SCOPE [--district D]:
// the intra-form control run over stored reports, one TSV line per violation.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "controls/control_run.h"
#include "data/records.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"

#include <ostream>

namespace tavir::cli {

namespace {

using controls::RunScope;

std::optional<int> number(std::string_view text) {
    const auto value = platform::parseIntegerStrict(text);
    if (!value || *value < 0 || *value > 999999) return std::nullopt;
    return static_cast<int>(*value);
}

// The name of a district from region1, or none when there is no such district.
platform::Status districtName(const data::Installation& inst, int code, std::optional<std::string>& name) {
    name.reset();
    data::RecordFile<data::Region1> file(inst.region1File());
    if (auto st = file.open(); !st) return st;
    auto cursor = file.equal("REG:KEYCODREG", {code});
    data::Region1 r;
    if (cursor.next(r)) name = r.NAME;
    return cursor.status();
}

platform::Status facility(const data::Installation& inst, int code, std::optional<data::Bolnbol>& found) {
    found.reset();
    data::RecordFile<data::Bolnbol> file(inst.bolnFile());
    if (auto st = file.open(); !st) return st;
    auto cursor = file.equal("BOL:KEYUNICOD", {code});
    data::Bolnbol b;
    if (cursor.next(b)) found = b;
    return cursor.status();
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--form", true}, {"--from", true}, {"--to", true}, {"--scope", true}, {"--district", true}},
                    0, error)) {
        return usageError(ctx, error);
    }
    for (const char* required : {"--form", "--from", "--to", "--scope"}) {
        if (!args.has(required)) return usageError(ctx, std::string("не указан параметр ") + required);
    }
    controls::RunRequest request;
    {
        const std::string& list = *args.value("--form");
        size_t start = 0;
        while (true) {
            const size_t comma = list.find(',', start);
            const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            const auto form = number(item);
            if (!form) return usageError(ctx, "неверный номер формы " + item);
            request.forms.push_back(*form);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    const auto lower = number(*args.value("--from"));
    const auto upper = number(*args.value("--to"));
    if (!lower || !upper) return usageError(ctx, "месяцы задаются числами");
    if (*upper < *lower || *upper > 12) return usageError(ctx, "Исправте период");
    request.lower = *lower;
    request.upper = *upper;

    const data::Installation inst(ctx.workdir);
    const std::string& scope = *args.value("--scope");
    const size_t colon = scope.find(':');
    const std::string kind = scope.substr(0, colon);
    int code = 0;
    const bool needsCode = kind == "facility" || kind == "district";
    if (needsCode && colon != std::string::npos) {
        const auto given = number(scope.substr(colon + 1));
        if (given) code = *given;
        else return usageError(ctx, "неверная область контроля " + scope);
    }
    if (needsCode != (colon != std::string::npos)) {
        return usageError(ctx, "неверная область контроля " + scope);
    }
    if (args.has("--district") && kind != "facilities") {
        return usageError(ctx, "--district задается только с --scope facilities");
    }
    auto chooseDistrict = [&](int district) -> std::optional<int> {
        std::optional<std::string> name;
        if (auto st = districtName(inst, district, name); !st) return fail(ctx, st.message());
        if (!name) return fail(ctx, "Нет района " + platform::formatNumber(district));
        request.district = {district, *name};
        return std::nullopt;
    };
    if (kind == "facility") {
        request.scope = RunScope::Facility;
        std::optional<data::Bolnbol> found;
        if (auto st = facility(inst, code, found); !st) return fail(ctx, st.message());
        if (!found) return fail(ctx, "Нет учреждения " + platform::formatNumber(code));
        request.facility = {found->UNICOD, found->NAZV};
        if (auto failed = chooseDistrict(found->CODREG)) return *failed;
    } else if (kind == "facilities") {
        request.scope = RunScope::Facilities;
        if (const std::string* d = args.value("--district")) {
            const auto district = number(*d);
            if (!district) return usageError(ctx, "неверный код района " + *d);
            request.oneDistrict = true;
            if (auto failed = chooseDistrict(*district)) return *failed;
        }
    } else if (kind == "district") {
        request.scope = RunScope::District;
        if (auto failed = chooseDistrict(code)) return *failed;
    } else if (kind == "districts") {
        request.scope = RunScope::Districts;
    } else if (kind == "region") {
        request.scope = RunScope::Region;
    } else {
        return usageError(ctx, "неверная область контроля " + scope);
    }

    CliInteraction ui(ctx.err);
    app::Subject subject;
    if (auto st = installationSubject(inst, subject); !st) return fail(ctx, st.message());
    const entry::ChooserContext env{inst, ui, ctx.year, subject};
    std::vector<controls::RunResultLine> lines;
    int checked = 0;
    if (auto st = controls::runControls(env, request, lines, checked); !st) return kExitFailure;
    if (lines.empty()) ui.message(checked > 0 ? controls::kNoErrors : controls::kNothingChecked);
    if (auto st = controls::arrangeResults(env, request.scope, request.oneDistrict, lines); !st) {
        return fail(ctx, st.message());
    }
    for (const auto& l : lines) {
        ctx.out << l.rule << '\t' << l.subject << '\t' << tsvCell(l.name) << '\t' << l.form << '\t'
                << platform::formatNumber(l.deviation) << '\t' << tsvCell(l.text) << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command controlsCommand{
    "controls",
    "внутриформенные контроли отчетов за месяцы",
    "Использование: tavir-cli controls --form Ф[,Ф…] --from М1 --to М2 --scope ОБЛАСТЬ [--district Р]\n"
    "Проверяет хранимые отчеты форм рабочего года за месяцы с М1 по М2 по контролям строк,\n"
    "таблиц и граф и выводит по строке TSV на каждое нарушение: код контроля, код субъекта,\n"
    "наименование, форма, отклонение, текст. Нарушения - результат, а не ошибка: код выхода 0.\n"
    "Сообщения о неверных контролях выводятся в стандартный поток ошибок.\n"
    "  --form Ф,…        номера форм через запятую\n"
    "  --from М1, --to М2  месяцы (код периода) от и до, не больше 12\n"
    "  --scope ОБЛАСТЬ   facility:КОД (одно ЛПУ), facilities (ЛПУ по одному),\n"
    "                    district:КОД (район в целом), districts (районы по одному), region (область)\n"
    "  --district Р      с facilities: только ЛПУ района Р\n",
    run,
};

}  // namespace tavir::cli
