// Runs the real tavir-cli binary for tests: arguments quoted for the shell,
// standard input from a text, standard output and error captured.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tavir::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// tavir-cli with `args` (each passed as one argument) and `input` as its
// standard input; `scratch` is a folder for the captured streams and the
// program's temporary directory, so runs in parallel never share work copies.
inline CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                        const std::string& input = {}) {
    const auto in = scratch / ".cli-in", out = scratch / ".cli-out", err = scratch / ".cli-err";
    std::ofstream(in, std::ios::binary) << input;
    std::string cmd = "TMPDIR=" + shellQuote(scratch.string()) + " " + shellQuote(TAVIR_CLI_PATH);
    for (const auto& a : args) cmd += " " + shellQuote(a);
    cmd += " <" + shellQuote(in.string()) + " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
    const int raw = std::system(cmd.c_str());
    CliResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

}  // namespace tavir::testing
