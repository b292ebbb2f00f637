// tavir-cli load FILE [--label LABEL] < data.tsv: appends TSV records to a keyed file.

#include "cli/args.h"
#include "cli/commands.h"
#include "data/tsv_records.h"

#include <ostream>

namespace tavir::cli {

namespace {

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--label", true}}, 1, error)) return usageError(ctx, error);
    if (args.positional().empty()) return usageError(ctx, "не указан файл");
    TargetFile target;
    if (auto st = resolveTarget(ctx, args.positional()[0], args.value("--label"), target); !st) {
        return fail(ctx, st.message());
    }
    data::LoadReport report;
    if (auto st = data::loadTsv(*target.def, target.path, ctx.in, report); !st) {
        if (report.badLine == 0) return fail(ctx, st.message());
        return fail(ctx, st.message() + " (файл " + target.path.string() +
                             (report.created ? " не создан)" : " не изменен)"));
    }
    ctx.out << "Добавлено записей: " << report.added << " в файл " << target.path.string()
            << (report.created ? " (файл создан)" : "") << '\n';
    return kExitOk;
}

}  // namespace

extern const Command loadCommand{
    "load",
    "добавление записей из TSV в файл данных",
    "Использование: tavir-cli load ФАЙЛ [--label МЕТКА] < ДАННЫЕ.tsv\n"
    "Добавляет в файл записи из TSV со стандартного ввода; файла нет — создает его.\n"
    "Первая строка: полные имена полей (STR:UNICOD, OTC:DATA1 …) в любом порядке, любые из них;\n"
    "поле, которого нет, получает ноль или пустой текст. Массив — числа через пробел,\n"
    "десятичная точка. Строка, которая не подходит, отменяет всю загрузку.\n"
    "  --label МЕТКА  вид файла из словаря (tavir-cli dict); без него определяется по имени файла\n",
    run,
};

}  // namespace tavir::cli
