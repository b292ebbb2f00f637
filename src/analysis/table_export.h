// The table export of report entry, and its sheet layout, which the export
// of a consolidated table shares: row 2 the table title, row 3 the heading
// line, rows 9 and 10 the column names and numbers (generic template only),
// from row 11 one sheet row per grid row — descriptive cells, then values,
// zero values left empty.
#pragma once

#include "analysis/spreadsheet_export.h"
#include "data/paths.h"
#include "data/records.h"
#include "entry/report_editor.h"
#include "platform/decimal.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace tavir::analysis {

// The generic template of tables that name none.
inline constexpr std::string_view kGenericTableTemplate = "swod.xls";

struct TableExportInput {
    struct GridRow {
        int unicod = 0;  // STR:UNICOD of the grid row
        std::array<platform::Decimal, 25> values{};  // value index 1..25
    };
    int form = 0;
    data::Tabl table;                  // TAB:CODTABL, NAME, NAMEL, SM, A
    std::string heading;               // the heading line of the window
    std::vector<data::Grafa> columns;  // the table's grafa records in key order
    std::vector<data::Stroka> rows;    // the table's stroka records in row-number order
    std::vector<GridRow> grid;         // the rows as the window shows them
};

// The table's reference part of the input from the reference data of
// `year`: its grafa records in key order and its stroka records from row
// number 1 in row-number order. `input.form` and `input.table` name the table.
platform::Status loadTableReference(const data::Installation& installation, int year, TableExportInput& input);

// The input of the entry window: the table the editor shows, the report
// caption as the heading line (at most 50 characters) and the grid as shown.
platform::Status editorTableExport(const data::Installation& installation, const entry::ReportEditor& editor,
                                   TableExportInput& out);

// The first 15 characters of TAB:NAMEL without trailing blanks, or the
// generic template when that is empty.
std::string tableTemplateName(const data::Tabl& table);

// Writes the layout into the work copy; `generic` adds rows 9 and 10.
platform::Status writeTableLayout(platform::SpreadsheetServer& server, const WorkCopy& copy,
                                  const TableExportInput& input, bool generic);

// The export of the button "Выгрузка таблицы в Excel": direct start with the
// table's template, the layout, no border, the end of the export. The work
// copy's path is set when the work copy was made.
platform::Status exportTable(platform::SpreadsheetServer& server, platform::Interaction& ui,
                             const data::Installation& installation, const std::filesystem::path& folder,
                             const TableExportInput& input, std::filesystem::path* workCopy = nullptr);

}  // namespace tavir::analysis
