// tavir-cli dict [LABEL]: the record layouts of the dictionary.

#include "cli/args.h"
#include "cli/commands.h"
#include "data/dictionary.h"

#include <ostream>

namespace tavir::cli {

namespace {

using platform::FieldDef;
using platform::FieldType;
using platform::FileDef;

std::string typeText(const FieldDef& f) {
    std::string t;
    switch (f.type) {
    case FieldType::Byte: t = "BYTE"; break;
    case FieldType::Short: t = "SHORT"; break;
    case FieldType::Long: t = "LONG"; break;
    case FieldType::Real: t = "REAL"; break;
    case FieldType::Decimal: t = "DECIMAL " + std::to_string(f.width) + "," + std::to_string(f.scale); break;
    case FieldType::String: t = "STRING " + std::to_string(f.width); break;
    case FieldType::Memo: t = "MEMO " + std::to_string(f.width); break;
    }
    if (f.group) return "группа " + f.name + "1.." + f.name + std::to_string(f.dim) + ", " + t;
    if (f.dim > 1) t += " DIM " + std::to_string(f.dim);
    return t;
}

void printFile(std::ostream& out, const FileDef& def) {
    out << "Файл\t" << def.label << "\nПрефикс\t" << def.prefix << "\n\nПоле\tТип\tДлина\tСмещение\n";
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& f = def.fields[i];
        out << f.name << '\t' << typeText(f) << '\t' << f.size() << '\t' << def.fieldOffset(static_cast<int>(i))
            << '\n';
    }
    out << "\nДлина записи\t" << def.recordSize() << '\n';
    if (def.keys.empty()) {
        out << "\nКлючей нет\n";
        return;
    }
    out << "\nКлюч\tВид\tПоля\n";
    for (const auto& k : def.keys) {
        out << k.name << '\t' << (k.unique ? "уникальный" : "с повторами") << '\t';
        for (size_t i = 0; i < k.fields.size(); ++i) out << (i ? ", " : "") << def.fields[k.fields[i]].name;
        out << '\n';
    }
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {}, 1, error)) return usageError(ctx, error);
    if (args.positional().empty()) {
        ctx.out << "Файл\tПрефикс\tДлина записи\n";
        for (const auto& def : data::allFiles()) ctx.out << def.label << '\t' << def.prefix << '\t' << def.recordSize() << '\n';
        return kExitOk;
    }
    const std::string& label = args.positional()[0];
    const FileDef* def = data::findFile(label);
    if (!def) return fail(ctx, "В словаре нет файла " + label);
    printFile(ctx.out, *def);
    return kExitOk;
}

}  // namespace

extern const Command dictCommand{
    "dict",
    "описание файлов словаря: поля, длина записи, ключи",
    "Использование: tavir-cli dict [МЕТКА]\n"
    "Без метки: список файлов словаря (метка, префикс, длина записи).\n"
    "С меткой (например, stroka или otchet): поля файла с типом, длиной и смещением,\n"
    "длина записи и ключи.\n",
    run,
};

}  // namespace tavir::cli
