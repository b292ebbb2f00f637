// The office files of the demo installation: the spreadsheet templates of
// the exports in "XLS" and the blank forms in "doc" with their list
// "doc/blanki.txt".
#pragma once

#include "demo/model.h"
#include "platform/status.h"

#include <filesystem>

namespace tavir::demo {

// RAS.xlsx, RAS1.xlsx, rang.xlsx, swod.xlsx and every table-specific
// template the tables name in TAB:NAMEL (column names in row 9, numbers in
// row 10, as the generic template gets them from the export): bold title
// rows, heading rows bold, wrapped and centred, a wide name column, fixed
// text only in cells no export writes.
platform::Status writeTemplates(const std::filesystem::path& xlsDir, const Reference& reference);

// One blank workbook per form, made from its reference data (title, tables,
// column headings and numbers, row names and codes with empty value cells),
// and the list file naming them, in Windows-1251.
platform::Status writeBlankForms(const std::filesystem::path& docDir, const Reference& reference);

}  // namespace tavir::demo
