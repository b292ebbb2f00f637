// The demo installation that tavir-cli writes, made once per build folder
// for the desktop tests' screenshots.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tavir::fixture {

// None while tavir-cli has no demo command (or is not built).
inline std::optional<std::filesystem::path> demoInstallation(const std::filesystem::path& buildDir,
                                                             const std::string& cliPath) {
    const std::filesystem::path dir = buildDir / "ui-demo";
    const std::filesystem::path done = dir / ".complete";
    std::error_code ec;
    if (std::filesystem::exists(done, ec)) return dir;
    if (cliPath.empty() || !std::filesystem::exists(cliPath, ec)) return std::nullopt;
    std::filesystem::remove_all(dir, ec);
    const std::string command = "\"" + cliPath + "\" demo \"" + dir.string() + "\" >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    std::filesystem::create_directories(dir, ec);
    if (std::FILE* f = std::fopen(done.c_str(), "w")) std::fclose(f);
    return dir;
}

}  // namespace tavir::fixture
