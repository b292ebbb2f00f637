// The result windows of the control runs as models, and the port through
// which a control run opens them: the desktop program shows them as windows
// and returns when the user closes them; tavir-cli and tests take the lines.
#pragma once

#include "controls/evaluation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavir::controls {

// Window "Список": the error lines of one control run procedure call.
class ErrorListWindow {
public:
    ErrorListWindow(int year, std::vector<ErrorLine> lines) : year_(year), lines_(std::move(lines)) {}

    int year() const { return year_; }
    const std::vector<ErrorLine>& lines() const { return lines_; }
    // What was checked (form, period, subject), for the printout's heading.
    const std::string& heading() const { return heading_; }
    void setHeading(std::string heading) { heading_ = std::move(heading); }
    // The selected line (the first when the window opens).
    size_t selected() const { return selected_; }
    void select(size_t line);
    // The whole text of the selected line, shown under the list.
    std::string selectedText() const;

private:
    int year_;
    std::vector<ErrorLine> lines_;
    std::string heading_;
    size_t selected_ = 0;
};

// One violation found by a run over stored reports.
struct RunResultLine {
    int64_t rule = 0;      // numeric value of the error line's code
    int64_t subject = 0;   // facility (scope 2) or district (scope 4); 0 otherwise
    std::string name;      // subject name
    int form = 0;
    Decimal deviation;
    std::string text;      // cut to 250 characters
    int district = 0;      // the facility's district (scope 2)
};

// Window "Внутриформенные контроли": every result line of a run.
class RunResultsWindow {
public:
    RunResultsWindow(std::string districtName, std::string facilityName, std::vector<RunResultLine> lines)
        : districtName_(std::move(districtName)), facilityName_(std::move(facilityName)), lines_(std::move(lines)) {}

    const std::string& districtName() const { return districtName_; }
    const std::string& facilityName() const { return facilityName_; }
    const std::vector<RunResultLine>& lines() const { return lines_; }
    // What was checked (forms, period, subject), for the printout's heading.
    const std::string& heading() const { return heading_; }
    void setHeading(std::string heading) { heading_ = std::move(heading); }
    size_t selected() const { return selected_; }
    void select(size_t line);
    // The whole text and the subject name of the selected line.
    std::string selectedText() const;
    std::string selectedName() const;

private:
    std::string districtName_;
    std::string facilityName_;
    std::vector<RunResultLine> lines_;
    std::string heading_;
    size_t selected_ = 0;
};

class ControlViews {
public:
    virtual ~ControlViews() = default;
    // Each returns when the window is closed.
    virtual void showErrorList(ErrorListWindow& window) = 0;
    virtual void showRunResults(RunResultsWindow& window) = 0;
};

}  // namespace tavir::controls
