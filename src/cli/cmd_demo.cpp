// tavir-cli demo DIR [--facilities N] [--seed S]: writes the demo installation.

#include "cli/args.h"
#include "cli/commands.h"
#include "demo/demo.h"
#include "platform/numeric_text.h"

#include <chrono>
#include <ostream>

namespace tavir::cli {

namespace {

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv, {{"--facilities", true}, {"--seed", true}, {"--data", true}}, 1, error)) return usageError(ctx, error);
    if (args.positional().empty()) return usageError(ctx, "не указан каталог");
    demo::DemoOptions options;
    const std::filesystem::path given{args.positional()[0]};
    options.dir = given.is_absolute() ? given : ctx.workdir / given;
    options.dataDir = args.value("--data") ? std::filesystem::path(*args.value("--data")) : demo::defaultDataDir();
    if (const std::string* n = args.value("--facilities")) {
        const auto value = platform::parseIntegerStrict(*n);
        if (!value || *value < 1 || *value > 100000) return usageError(ctx, "неверное число учреждений " + *n);
        options.facilities = static_cast<int>(*value);
    }
    if (const std::string* s = args.value("--seed")) {
        const auto value = platform::parseIntegerStrict(*s);
        if (!value || *value < 0) return usageError(ctx, "неверное начальное число " + *s);
        options.seed = static_cast<uint64_t>(*value);
    }
    const auto started = std::chrono::steady_clock::now();
    demo::DemoSummary summary;
    if (auto st = demo::buildDemo(options, summary); !st) return fail(ctx, st.message());
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ctx.out << "Демонстрационная установка записана в " << options.dir.string() << ": учреждений " << summary.facilities
            << ", записей отчетов " << summary.valueRecords << ", файлов для загрузки " << summary.importFiles.size()
            << ", намеренных нарушений контролей " << summary.violations.size() << " (" << static_cast<int>(seconds * 10) / 10.0
            << " с)\n";
    return kExitOk;
}

}  // namespace

extern const Command demoCommand{
    "demo",
    "демонстрационная установка «Тарвинская область»",
    "Использование: tavir-cli demo КАТАЛОГ [--facilities N] [--seed S] [--data ПАПКА]\n"
    "Записывает в новый (или пустой) каталог рабочий каталог вымышленной области: справочники\n"
    "2025 и 2026 годов, учреждения, отчеты, показатели, картинки и файлы для загрузки.\n"
    "Одно и то же начальное число дает одни и те же данные.\n"
    "  --facilities N  число учреждений (по умолчанию столько, сколько в справочнике, 200)\n"
    "  --seed S        начальное число генератора отчетов (по умолчанию 1)\n"
    "  --data ПАПКА    справочники демонстрации (по умолчанию data/demo исходных текстов)\n",
    run,
};

}  // namespace tavir::cli
