// The commands of tavir-cli. A command is one file of this folder defining a
// Command and one line of the registry in commands.cpp; the program (main.cpp)
// handles the global options, --help and the dispatch.
#pragma once

#include "platform/layout.h"
#include "platform/status.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::cli {

// What every command runs with: the working directory and year from the
// global options, and the standard streams (tests substitute their own).
struct Command;
struct Context {
    const Command* command = nullptr;  // the command being run
    std::filesystem::path workdir;
    int year = 0;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work failed: a file, a line, a value
inline constexpr int kExitUsage = 2;    // the command line is wrong

struct Command {
    std::string_view name;
    std::string_view summary;  // one line for the program's --help
    std::string_view usage;    // the command's --help: synopsis and options
    // Runs with the arguments after the command name, global options and
    // --help already taken out; returns the exit status.
    int (*run)(Context& ctx, const std::vector<std::string>& args);
};

// Every command, in the order the program's --help lists them.
const std::vector<Command>& commands();
const Command* findCommand(std::string_view name);

// Write the message as one line to standard error and return the exit
// status: kExitFailure for failed work, kExitUsage for a wrong command line
// (then the line names the command being run and points to its --help).
int fail(Context& ctx, std::string_view message);
int usageError(Context& ctx, std::string_view message);

// A file named on the command line with the record layout it holds: the
// name resolved in the working directory (letter case ignored, as the
// installations come from Windows), the layout from --label or, without it,
// from the file's name.
struct TargetFile {
    std::filesystem::path path;
    const platform::FileDef* def = nullptr;
};
platform::Status resolveTarget(const Context& ctx, std::string_view name, const std::string* label, TargetFile& target);

}  // namespace tavir::cli
