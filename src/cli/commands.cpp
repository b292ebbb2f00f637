#include "cli/commands.h"

#include "data/dictionary.h"
#include "data/paths.h"

#include <algorithm>
#include <ostream>

namespace tavir::cli {

extern const Command dictCommand;
extern const Command loadCommand;
extern const Command dumpCommand;
extern const Command demoCommand;
extern const Command controlsCommand;
extern const Command interformCommand;
extern const Command controlListCommand;
extern const Command printReportCommand;
extern const Command exportTableCommand;
extern const Command reportsCommand;
extern const Command consolidateCommand;
extern const Command submittedCommand;
extern const Command completenessCommand;
extern const Command exportCommand;

const std::vector<Command>& commands() {
    // The registry: one line per command.
    static const std::vector<Command> all{
        dictCommand,
        loadCommand,
        dumpCommand,
        demoCommand,
        controlsCommand,
        interformCommand,
        controlListCommand,
        printReportCommand,
        exportTableCommand,
        reportsCommand,
        consolidateCommand,
        submittedCommand,
        completenessCommand,
        exportCommand,
    };
    return all;
}

const Command* findCommand(std::string_view name) {
    const auto& all = commands();
    auto it = std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == name; });
    return it == all.end() ? nullptr : &*it;
}

namespace {

// Keeps the message on one line whatever the procedure that produced it put in.
void writeLine(std::ostream& err, std::string_view prefix, std::string_view message) {
    std::string line(message);
    std::replace(line.begin(), line.end(), '\n', ' ');
    err << prefix << line << std::endl;
}

}  // namespace

int fail(Context& ctx, std::string_view message) {
    writeLine(ctx.err, "tavir-cli: ", message);
    return kExitFailure;
}

int usageError(Context& ctx, std::string_view message) {
    const std::string name = ctx.command ? " " + std::string(ctx.command->name) : "";
    writeLine(ctx.err, "tavir-cli" + name + ": ", std::string(message) + " (справка: tavir-cli" + name + " --help)");
    return kExitUsage;
}

platform::Status resolveTarget(const Context& ctx, std::string_view name, const std::string* label, TargetFile& target) {
    using platform::ErrorKind;
    using platform::Status;
    const std::filesystem::path given{std::string(name)};
    target.path = given.is_absolute() ? given : data::findCaseInsensitive(ctx.workdir, name);
    if (label) {
        target.def = data::findFile(*label);
        if (!target.def) return Status::fail(ErrorKind::Invalid, "В словаре нет файла " + *label);
        return Status::ok();
    }
    const std::string_view inferred = data::labelForFileName(name);
    target.def = inferred.empty() ? nullptr : data::findFile(inferred);
    if (!target.def) {
        return Status::fail(ErrorKind::Invalid, "По имени " + std::string(name) +
                                                    " не определить вид файла: укажите его параметром --label");
    }
    return Status::ok();
}

}  // namespace tavir::cli
