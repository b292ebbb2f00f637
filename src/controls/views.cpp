#include "controls/views.h"

#include "platform/text.h"

namespace tavir::controls {

void ErrorListWindow::select(size_t line) {
    if (line < lines_.size()) selected_ = line;
}

std::string ErrorListWindow::selectedText() const {
    return selected_ < lines_.size() ? lines_[selected_].text : std::string();
}

std::vector<std::string> ErrorListWindow::printLines() const {
    std::vector<std::string> out{"!!", "НЕ ВЫПОЛНЕН КОНТРОЛЬ "};
    for (const ErrorLine& line : lines_) out.push_back(platform::cutToWidth(line.text, 200));
    return out;
}

void RunResultsWindow::select(size_t line) {
    if (line < lines_.size()) selected_ = line;
}

std::string RunResultsWindow::selectedText() const {
    return selected_ < lines_.size() ? lines_[selected_].text : std::string();
}

std::string RunResultsWindow::selectedName() const {
    return selected_ < lines_.size() ? lines_[selected_].name : std::string();
}

}  // namespace tavir::controls
