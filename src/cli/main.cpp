// tavir-cli: the batch side of the program. Global options may stand before
// or after the command name; everything else after the name belongs to the
// command.

#include "cli/commands.h"
#include "data/year_range.h"
#include "platform/numeric_text.h"

#include <chrono>
#include <iostream>
#include <optional>
#include <system_error>

namespace {

using namespace tavir;
using namespace tavir::cli;

constexpr std::string_view kProgramUsage =
    "Использование: tavir-cli [--workdir КАТАЛОГ] [--year ГОД] КОМАНДА [ПАРАМЕТРЫ]\n";

constexpr std::string_view kGlobalOptions =
    "Общие параметры:\n"
    "  --workdir КАТАЛОГ  рабочий каталог (по умолчанию текущий); относительные имена файлов\n"
    "                     ищутся в нем без учета регистра букв\n"
    "  --year ГОД         рабочий год (по умолчанию текущий год в пределах лет рабочего каталога)\n"
    "  --help             справка по программе или по команде\n";

void printProgramHelp(std::ostream& out) {
    out << kProgramUsage << "\nКоманды:\n";
    size_t width = 0;
    for (const auto& c : commands()) width = std::max(width, c.name.size());
    for (const auto& c : commands()) {
        out << "  " << c.name << std::string(width - c.name.size() + 2, ' ') << c.summary << '\n';
    }
    out << '\n' << kGlobalOptions << "\nСправка по команде: tavir-cli КОМАНДА --help\n";
}

int calendarYear() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day(today).year());
}

struct GlobalOptions {
    std::optional<std::string> workdir;
    std::optional<std::string> year;
    bool help = false;
};

// Takes a global option at args[i] (advancing i past its value); false when
// args[i] is not one. A missing value is reported through `error`.
bool takeGlobal(const std::vector<std::string>& args, size_t& i, GlobalOptions& g, std::string& error) {
    const std::string& arg = args[i];
    if (arg == "--help") {
        g.help = true;
        return true;
    }
    for (auto [name, slot] : {std::pair{"--workdir", &g.workdir}, std::pair{"--year", &g.year}}) {
        const std::string n = name;
        if (arg != n && !arg.starts_with(n + "=")) continue;
        if (slot->has_value()) {
            error = "параметр " + n + " указан дважды";
        } else if (arg.size() > n.size()) {
            *slot = arg.substr(n.size() + 1);
        } else if (i + 1 < args.size()) {
            *slot = args[++i];
        } else {
            error = "после " + n + " нужно значение";
        }
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    Context ctx{nullptr, {}, 0, std::cin, std::cout, std::cerr};
    const std::vector<std::string> all(argv + 1, argv + argc);

    GlobalOptions globals;
    const Command* command = nullptr;
    std::vector<std::string> commandArgs;
    std::string error;
    for (size_t i = 0; i < all.size() && error.empty(); ++i) {
        if (takeGlobal(all, i, globals, error)) continue;
        if (command) {
            commandArgs.push_back(all[i]);
        } else if (all[i].starts_with("-")) {
            error = "неизвестный параметр " + all[i];
        } else if (!(command = findCommand(all[i]))) {
            error = "неизвестная команда " + all[i];
        }
    }
    ctx.command = command;
    if (!error.empty()) return usageError(ctx, error);
    if (globals.help) {
        if (command) {
            ctx.out << command->usage << '\n' << kGlobalOptions;
        } else {
            printProgramHelp(ctx.out);
        }
        return kExitOk;
    }
    if (!command) return usageError(ctx, "не указана команда");

    std::error_code ec;
    ctx.workdir = globals.workdir ? std::filesystem::path(*globals.workdir) : std::filesystem::current_path(ec);
    if (ec || !std::filesystem::is_directory(ctx.workdir, ec)) {
        return fail(ctx, "Нет рабочего каталога " + ctx.workdir.string());
    }
    if (globals.year) {
        const std::optional<int64_t> year = platform::parseIntegerStrict(*globals.year);
        if (!year || *year < 1000 || *year > 9999) return usageError(ctx, "неверный год " + *globals.year);
        ctx.year = static_cast<int>(*year);
    } else {
        const data::YearRange range = data::findYearRange(ctx.workdir);
        ctx.year = range.empty() ? calendarYear() : data::clampWorkingYear(calendarYear(), range);
    }
    return command->run(ctx, commandArgs);
}
