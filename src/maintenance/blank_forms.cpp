#include "maintenance/blank_forms.h"

#include "platform/cp1251.h"
#include "platform/text.h"

namespace tavir::maintenance {

using analysis::DocumentKind;

namespace {

std::string_view trimLeft(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    return text.substr(i);
}

}  // namespace

DocumentKind blankKind(std::string_view fileName) {
    std::string_view name = platform::trimRight(fileName);
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return DocumentKind::None;
    std::string_view ext = name.substr(dot + 1);
    for (std::string_view e : {"xls", "xlsx", "ods"}) {
        if (platform::equalsIgnoreAsciiCase(ext, e)) return DocumentKind::Spreadsheet;
    }
    for (std::string_view e : {"doc", "docx", "odt", "rtf"}) {
        if (platform::equalsIgnoreAsciiCase(ext, e)) return DocumentKind::WordProcessor;
    }
    return DocumentKind::None;
}

std::vector<BlankEntry> readBlankList(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::vector<BlankEntry> entries;
    if (!platform::readTextLines(file, lines)) return entries;
    for (const auto& line : lines) {
        if (trimLeft(platform::trimRight(line)).empty()) continue;
        std::string_view text = line;
        size_t bang = text.find('!');
        BlankEntry e;
        e.PATH = platform::fitToWidth(trimLeft(text.substr(0, bang)), 100);
        if (bang != std::string_view::npos)
            e.NAME = platform::fitToWidth(trimLeft(platform::cutToWidth(text.substr(bang + 1), 150)), 200);
        e.UNICOD = e.N = static_cast<int>(entries.size()) + 1;
        e.COD = blankKind(e.PATH);
        entries.push_back(std::move(e));
    }
    return entries;
}

BlankFormsWindow::BlankFormsWindow(platform::SpreadsheetServer& server, platform::Interaction& ui,
                                   const data::Installation& installation)
    : server_(server), ui_(ui), installation_(installation),
      entries_(readBlankList(installation.resolve("doc\\blanki.txt"))) {}

platform::PickRequest BlankFormsWindow::list() const {
    platform::PickRequest request;
    request.caption = std::string(kCaption);
    request.heading = std::string(kHeading);
    request.name = "BlankForms";
    request.columns = {{"имя файла", 20}, {"Форма", 60}};
    for (const auto& e : entries_) request.lines.push_back({e.PATH, e.NAME});
    return request;
}

platform::Status BlankFormsWindow::activate(size_t index) {
    if (index >= entries_.size()) return platform::Status::ok();
    const BlankEntry& e = entries_[index];
    return analysis::openDocument(server_, ui_, installation_, e.PATH, e.COD);
}

}  // namespace tavir::maintenance
