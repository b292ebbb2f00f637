#include "platform/interaction.h"

namespace tavir::platform {

namespace {
std::vector<std::string> splitBars(std::string_view text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t bar = text.find('|', start);
        out.emplace_back(text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}
}  // namespace

std::vector<std::string> messageLines(std::string_view text) { return splitBars(text); }

std::vector<std::string> buttonCaptions(std::string_view buttons) { return splitBars(buttons); }

std::string withoutAccessMarks(std::string_view caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

}  // namespace tavir::platform
