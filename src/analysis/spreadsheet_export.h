// Exports to the spreadsheet program: the work copies of templates, the two
// ways of starting an export, the end of an export and the document opener
// of blank forms. What an export writes into its cells belongs to its window.
//
// Templates are workbooks in the folder "XLS" of the working directory. A
// work copy is the template saved as <n>.xlsx in the user's own folder of
// "temp1" in the working directory, or, for the table export of report
// entry, in a folder of the system temporary directory. Both folders are
// created when missing.
#pragma once

#include "data/paths.h"
#include "platform/interaction.h"
#include "platform/spreadsheet_channel.h"
#include "platform/status.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavir::analysis {

inline constexpr std::string_view kWorkCopyExtension = ".xlsx";
// Width of the work-copy number of every export but the completeness one.
inline constexpr size_t kWorkCopyNumberWidth = 15;

// The number of the next work copy in `folder`: 1 when the folder holds no
// work copy; otherwise every work copy that can be deleted is deleted, the
// folder listed again into the same list, and the last entry's number + 1.
// Each listing stands in the order of the copies' numbers. A copy that the
// spreadsheet program holds open (its lock file lies beside it) stays, and so
// does one saved within the last minute, which may still be opening. The
// text is cut to `width` characters.
std::string nextWorkCopyNumber(const std::filesystem::path& folder, size_t width);

// The user's folder of work copies in "temp1", named by the login name.
std::filesystem::path workCopyFolder(const data::Installation& installation);

// The folder of the report-entry table export's work copies.
std::filesystem::path directStartFolder();

// The work copy an export fills.
struct WorkCopy {
    platform::Channel channel = 0;  // the cell conversation
    std::string number;
    std::filesystem::path path;
};

// The open-template procedure of every workbook export but the report-entry
// table export: the wait window "ЖДЕМ...", the work-copy number, the
// spreadsheet program reached (started when it does not answer), the
// template opened and saved as the work copy, the cell conversation opened.
// `templateName` is used without trailing blanks.
platform::Status openTemplate(platform::SpreadsheetServer& server, platform::Interaction& ui,
                              const data::Installation& installation, std::string_view templateName,
                              size_t numberWidth, WorkCopy& out);

// The same for the report-entry table export: no wait window, its own start
// commands, its work copies in `folder`.
platform::Status directStart(platform::SpreadsheetServer& server, platform::Interaction& ui,
                             const data::Installation& installation, const std::filesystem::path& folder,
                             std::string_view templateName, WorkCopy& out);

// The select and border commands that frame a filled rectangle.
platform::Status frameTable(platform::SpreadsheetServer& server, const WorkCopy& copy, int firstRow,
                            int firstColumn, int lastRow, int lastColumn);

// The end of every export: the cell conversation is closed (the work copy is
// saved and shown) and the user told "Выгрузка в Excel завершена" — or, when
// `status` or the close failed, what failed instead. A work copy saved that
// no program could show is a finished export: the user is told where it lies.
platform::Status finishExport(platform::SpreadsheetServer& server, platform::Interaction& ui, WorkCopy& copy,
                              platform::Status status);

// Document kinds of stored blank forms.
enum class DocumentKind { None = 0, Spreadsheet = 1, WordProcessor = 2 };

// The document opener: copies "doc\" + `storedName` into workCopyFolder under the
// name's last component (at most 50 characters) and has the spreadsheet
// program or the word processor open the copy. A failure is shown to the
// user and returned.
platform::Status openDocument(platform::SpreadsheetServer& server, platform::Interaction& ui,
                              const data::Installation& installation, std::string_view storedName,
                              DocumentKind kind);

}  // namespace tavir::analysis
