#include "exchange/exchange_file.h"

#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace tavir::exchange {

using platform::ErrorKind;
using platform::Status;

std::vector<std::string> candidatePaths(std::string_view s1, std::string_view s2) {
    std::vector<std::string> list;
    for (std::string_view folder : {s1, s2}) {
        const std::string_view trimmed = platform::trimRight(folder);
        if (!trimmed.empty()) list.emplace_back(trimmed);
    }
    for (std::string_view fixed : kFixedPaths) list.emplace_back(fixed);
    return list;
}

std::vector<std::filesystem::path> removableMedia() {
    std::vector<std::filesystem::path> found;
    const char* user = std::getenv("USER");
    if (!user || !*user) return found;
    for (const char* root : {"/media/", "/run/media/"}) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(root) / user, ec)) {
            if (entry.is_directory(ec)) found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

Status exchangeTarget(const data::Installation& installation, std::string_view path, std::string_view name,
                      std::filesystem::path& target, const std::vector<std::filesystem::path>& media) {
    std::string text(platform::trimRight(path));
    const bool absolute = text.starts_with("/");
    std::replace(text.begin(), text.end(), '\\', '/');
    if (absolute) {
        target = std::filesystem::path(text) / std::string(name);
        return Status::ok();
    }
    if (text.size() >= 2 && text[1] == ':') {
        const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        const std::string rest = text.substr(2);
        if (drive == 'A' || drive == 'F') {
            if (media.empty()) {
                return Status::fail(ErrorKind::NotFound, "Нет съемного диска для пути " + std::string(path));
            }
            const auto& medium = drive == 'F' && media.size() > 1 ? media[1] : media[0];
            target = data::findCaseInsensitive(medium, rest + "/" + std::string(name));
        } else {
            target = data::findCaseInsensitive("/", rest + "/" + std::string(name));
        }
        return Status::ok();
    }
    target = installation.resolve(text + "/" + std::string(name));
    return Status::ok();
}

platform::KeyedFile::Description describe(int year, const app::Subject& subject) {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char written[32];
    std::strftime(written, sizeof written, "%Y-%m-%d %H:%M:%S", &local);
    return {
        {"year", platform::formatNumber(year)},
        {"subject_type", platform::formatNumber(subject.type)},
        {"subject_district", platform::formatNumber(subject.district)},
        {"subject_code", platform::formatNumber(subject.code)},
        {"written", written},
        {"version", std::string(app::kVersionText)},
    };
}

Status placeFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    const std::filesystem::path working = target.parent_path() / ("~" + target.filename().string() + ".part");
    auto failed = [&](const std::string& why) {
        std::error_code ignored;
        std::filesystem::remove(working, ignored);
        return Status::fail(ErrorKind::Io, "Файл " + target.string() + " не записан: " + why);
    };
    std::error_code ec;
    std::filesystem::copy_file(source, working, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return failed(ec.message());
    // On removable media the copy must reach the medium before the rename
    // makes it the target.
    const int fd = ::open(working.c_str(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const std::string why = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return failed(why);
    }
    ::close(fd);
    std::filesystem::rename(working, target, ec);
    if (ec) return failed(ec.message());
    return Status::ok();
}

}  // namespace tavir::exchange
