#include "app/main_window.h"

#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>

namespace tavir::app {

std::string MainWindowModel::caption() const {
    std::string caption(platform::trimRight(startup_.program.PROGA));
    return caption.empty() ? std::string(kDefaultCaption) : caption;
}

std::string MainWindowModel::fieldText(ToolField field) const {
    switch (field) {
        case ToolField::WorkingYear: return platform::formatNumber(state_.globYear.load());
        case ToolField::FirstYear: return platform::formatNumber(state_.globYearS.load());
        case ToolField::LastYear: return platform::formatNumber(state_.globYearE.load());
        case ToolField::Version: return std::string(kVersionText);
        case ToolField::Mail: return startup_.program.MAIL;
        case ToolField::None: break;
    }
    return {};
}

bool MainWindowModel::acceptYear(std::string_view text) {
    std::string_view digits = platform::trimRight(text);
    digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
    if (digits.empty() || digits.size() > 4 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    state_.globYear = std::stoi(std::string(digits));
    return true;
}

}  // namespace tavir::app
