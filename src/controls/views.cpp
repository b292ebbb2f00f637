#include "controls/views.h"

namespace tavir::controls {

void ErrorListWindow::select(size_t line) {
    if (line < lines_.size()) selected_ = line;
}

std::string ErrorListWindow::selectedText() const {
    return selected_ < lines_.size() ? lines_[selected_].text : std::string();
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
