// tavir-cli dump FILE [--key KEY [--from V1,V2,…]] [--reverse]: the records of a keyed file as TSV.

#include "cli/args.h"
#include "cli/commands.h"
#include "data/tsv_records.h"

namespace tavir::cli {

namespace {

std::vector<std::string> splitValues(const std::string& text) {
    std::vector<std::string> values;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        values.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return values;
        start = comma + 1;
    }
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--label", true}, {"--key", true}, {"--from", true}, {"--reverse", false}}, 1, error)) {
        return usageError(ctx, error);
    }
    if (args.positional().empty()) return usageError(ctx, "не указан файл");
    if (args.has("--from") && !args.has("--key")) return usageError(ctx, "--from задается только вместе с --key");
    TargetFile target;
    if (auto st = resolveTarget(ctx, args.positional()[0], args.value("--label"), target); !st) {
        return fail(ctx, st.message());
    }
    const platform::KeyDef* key = nullptr;
    if (const std::string* name = args.value("--key")) {
        key = target.def->key(*name);
        if (!key) return fail(ctx, "В файле " + target.def->label + " нет ключа " + *name);
    }
    const std::vector<std::string> from = args.has("--from") ? splitValues(*args.value("--from")) : std::vector<std::string>{};
    const auto dir = args.has("--reverse") ? platform::Direction::Backward : platform::Direction::Forward;
    platform::KeyedFile file(*target.def, target.path);
    if (auto st = data::dumpTsv(file, ctx.out, key, from, dir); !st) return fail(ctx, st.message());
    return kExitOk;
}

}  // namespace

extern const Command dumpCommand{
    "dump",
    "вывод записей файла данных в TSV",
    "Использование: tavir-cli dump ФАЙЛ [--label МЕТКА] [--key КЛЮЧ [--from З1,З2,…]] [--reverse]\n"
    "Выводит записи файла в TSV: заголовок из всех полей, затем записи в порядке их номеров\n"
    "или в порядке ключа. Вывод годится для tavir-cli load.\n"
    "  --label МЕТКА  вид файла из словаря; без него определяется по имени файла\n"
    "  --key КЛЮЧ     порядок ключа, например STR:KEYUNICOD\n"
    "  --from З1,…    начать с первой записи, у которой первые поля ключа не меньше этих значений\n"
    "  --reverse      в обратном порядке (с --from: начиная с записей не больше значений)\n",
    run,
};

}  // namespace tavir::cli
