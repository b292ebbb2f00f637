#include "entry/row_entry.h"

#include "platform/number_format.h"
#include "platform/text.h"

namespace tavir::entry {

RowEntry::RowEntry(ReportEditor& editor, platform::Interaction& ui, int row) : editor_(editor), ui_(ui) { show(row); }

std::string RowEntry::caption() const {
    return platform::formatNumber(editor_.report().formCode) + " " +
           std::string(platform::trimRight(editor_.report().formName));
}

void RowEntry::show(int row) {
    if (row < 0 || row >= static_cast<int>(editor_.grid().size())) row = 0;
    row_ = row;
    editor_.setCurrentRow(row);
    values_ = current().DATA;
    colouring_ = colourEntries(editor_.calcRules(), current().NUMBER);
    markers_.clear();
    if (!editor_.controlsOff()) markers_ = editor_.checkRow(row_, values_).markers;
}

void RowEntry::store() {
    markers_ = editor_.storeRow(row_, values_).markers;
    ++stored_;
}

void RowEntry::rowCodeTyped(std::string_view code) {
    const std::string_view typed = platform::trimRight(code);
    if (typed == platform::trimRight(current().CODSTR)) return;
    const auto& grid = editor_.grid();
    for (size_t i = 0; i < grid.size(); ++i) {
        if (platform::trimRight(grid[i].CODSTR) == typed) {
            show(static_cast<int>(i));
            return;
        }
    }
    chooseRow();
}

void RowEntry::chooseRow() {
    platform::PickRequest request;
    request.caption = "Строки";
    request.name = "Строки";
    request.status = "Enter-выбор из списка";
    request.columns = {{"Nстроки", 8, platform::Align::Center}, {"Наименование", 30, platform::Align::Left}};
    const auto& list = editor_.rowList();
    for (size_t i = 0; i < list.size(); ++i) {
        request.lines.push_back({list[i].CODSTR, list[i].NAMEL});
        if (list[i].NUMBER == current().NUMBER) request.startLine = static_cast<int>(i);
    }
    std::optional<int> line = ui_.pick(request);
    if (!line || *line < 0 || *line >= static_cast<int>(list.size())) return;
    const auto& grid = editor_.grid();
    for (size_t i = 0; i < grid.size(); ++i) {
        if (grid[i].NUMBER == list[*line].NUMBER) {
            show(static_cast<int>(i));
            return;
        }
    }
    ui_.beep();
}

bool RowEntry::chooseTable() {
    editor_.sync();
    switch (editor_.chooseTable()) {
        case TableChoice::Kept: return true;
        case TableChoice::Ended: return false;
        case TableChoice::Loaded: break;
    }
    reopened_ = true;
    stored_ = 0;
    show(0);
    return true;
}

bool RowEntry::tableCodeTyped(int code) {
    if (code == editor_.currentTable().CODTABL) return true;
    return chooseTable();
}

void RowEntry::close() {
    if (stored_ > 0) editor_.sync();
}

}  // namespace tavir::entry
