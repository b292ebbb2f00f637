#include "app/help.h"

#include "platform/cp1251.h"
#include "platform/text.h"

namespace tavir::app {

namespace {

constexpr size_t kPictureChars = 20;
constexpr size_t kLineChars = 100;
constexpr size_t kTitleShown = 50;

}  // namespace

platform::Status HelpModel::open(int topic, bool first) {
    topics_.clear();
    current_.reset();
    std::vector<std::string> lines;
    platform::Status st = platform::readTextLines(installation_.helpFile(), lines);
    if (!st) return st;
    for (const auto& line : lines) {
        if (platform::trimRight(line).empty()) continue;
        const std::string text = platform::cutToWidth(line, kLineChars);
        const std::string picture = platform::cutToWidth(text, kPictureChars);
        topics_.push_back({std::string(platform::trimRight(picture)),
                           platform::fitToWidth(std::string_view(text).substr(picture.size()), kTitleShown)});
    }
    click(first ? 0 : topic - 1);
    return st;
}

void HelpModel::click(std::optional<int> line) {
    if (line && *line >= 0 && *line < static_cast<int>(topics_.size())) {
        current_ = line;
    } else {
        current_.reset();
    }
}

std::optional<std::filesystem::path> HelpModel::picture() const {
    if (!current_) return std::nullopt;
    const std::string& name = topics_[*current_].picture;
    if (name.empty()) return std::nullopt;
    return installation_.resolve(name);
}

}  // namespace tavir::app
