// Blank forms: the stored blank documents listed in "doc\blanki.txt", one
// per line as file name (relative to "doc"), "!", form title; the window
// "Список" lists them and opens a copy of the chosen one in the office
// program of its kind.
#pragma once

#include "analysis/spreadsheet_export.h"
#include "data/paths.h"
#include "platform/interaction.h"
#include "platform/spreadsheet_channel.h"
#include "platform/status.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::maintenance {

// One line of the list (QS).
struct BlankEntry {
    std::string PATH;  // file name relative to "doc"
    std::string NAME;  // form title
    int UNICOD = 0;    // line number among the non-blank lines
    int N = 0;
    analysis::DocumentKind COD = analysis::DocumentKind::None;
};

// By the file name's extension: xls, xlsx, ods a spreadsheet; doc, docx,
// odt, rtf a word-processor document; anything else none.
analysis::DocumentKind blankKind(std::string_view fileName);

// The entries of a list file; blank lines are skipped, a missing or
// unreadable file gives none.
std::vector<BlankEntry> readBlankList(const std::filesystem::path& file);

// The model of the window "Список".
class BlankFormsWindow {
public:
    static constexpr std::string_view kCaption = "Список";
    static constexpr std::string_view kHeading = "!! Печать чистых бланков";

    BlankFormsWindow(platform::SpreadsheetServer& server, platform::Interaction& ui,
                     const data::Installation& installation);

    const std::vector<BlankEntry>& entries() const { return entries_; }
    // The list as the window shows it: columns "имя файла" and "Форма".
    platform::PickRequest list() const;
    // Enter or a double click on entry `index`: its document opened, or
    // nothing for an entry of no kind.
    platform::Status activate(size_t index);

private:
    platform::SpreadsheetServer& server_;
    platform::Interaction& ui_;
    const data::Installation& installation_;
    std::vector<BlankEntry> entries_;
};

}  // namespace tavir::maintenance
