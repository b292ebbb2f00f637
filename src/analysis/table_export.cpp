#include "analysis/table_export.h"

#include "data/record_binding.h"
#include "data/row_attribute.h"
#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>
#include <map>

namespace tavir::analysis {

using platform::Status;

namespace {

// Rows above the first grid row.
constexpr int kFirstGridSheetRow = 10;

std::string trimmed(std::string_view text) { return std::string(platform::trimRight(text)); }

}  // namespace

Status loadTableReference(const data::Installation& installation, int year, TableExportInput& input) {
    input.columns.clear();
    input.rows.clear();
    const std::vector<int64_t> key{input.form, input.table.CODTABL};
    data::RecordFile<data::Grafa> grafa(installation.grafaFile(year));
    if (Status st = grafa.forEachEqual("GRA:GRA1", key, [&](const data::Grafa& g) { input.columns.push_back(g); });
        !st)
        return st;
    data::RecordFile<data::Stroka> stroka(installation.strokaFile(year));
    return stroka.forEachEqual("STR:STRNUM", key, [&](const data::Stroka& s) {
        if (s.NUMBER >= 1) input.rows.push_back(s);
    });
}

Status editorTableExport(const data::Installation& installation, const entry::ReportEditor& editor,
                         TableExportInput& out) {
    out = {};
    const entry::TableEntry& shown = editor.currentTable();
    out.form = editor.report().formCode;
    out.table.CODFORM = out.form;
    out.table.CODTABL = shown.CODTABL;
    out.table.NAME = shown.NAME;
    out.table.NAMEL = shown.XLS;
    out.table.SM = shown.SM;
    out.table.A = shown.A;
    out.heading = platform::cutToWidth(editor.caption(), 50);
    for (const entry::GridRow& g : editor.grid()) out.grid.push_back({g.UNICODSTR, g.DATA});
    return loadTableReference(installation, editor.report().year, out);
}

std::string tableTemplateName(const data::Tabl& table) {
    std::string name = platform::fitToWidth(table.NAMEL, 15);
    return name.empty() ? std::string(kGenericTableTemplate) : name;
}

Status writeTableLayout(platform::SpreadsheetServer& server, const WorkCopy& copy, const TableExportInput& input,
                        bool generic) {
    auto poke = [&](int row, int column, const std::string& value) {
        return server.poke(copy.channel, platform::cellItem(row, column), value);
    };
    const int sm = input.table.SM;
    std::map<int, int> kinds;  // descriptive column -> GRA:TYPEGR
    for (const auto& col : input.columns) {
        if (generic) {
            if (Status st = poke(9, col.COD, trimmed(col.NAME)); !st) return st;
            if (Status st = poke(10, col.COD, std::to_string(col.COD)); !st) return st;
        }
        if (col.COD <= sm) kinds[col.COD] = col.TYPEGR;
    }
    if (Status st = poke(3, 1, trimmed(input.heading)); !st) return st;
    std::string title = "Ф" + std::to_string(input.form) + " Т" + std::to_string(input.table.CODTABL) + " " +
                        trimmed(input.table.NAME);
    if (Status st = poke(2, 1, title); !st) return st;

    // Reference rows and grid rows walked together: a reference row that is
    // not the next grid row is skipped, and its descriptive cells with it.
    size_t k = 0;
    for (const auto& row : input.rows) {
        if (k >= input.grid.size() || input.grid[k].unicod != row.UNICOD) continue;
        ++k;
        for (int c = 1; c <= sm; ++c) {
            auto kind = kinds.find(c);
            if (kind == kinds.end() || kind->second < 1 || kind->second > 4) continue;
            if (Status st = poke(static_cast<int>(k) + kFirstGridSheetRow, c, data::descriptiveCell(row, kind->second));
                !st)
                return st;
        }
    }

    const int valueColumns = std::min(input.table.A, 25);
    for (int j = 1; j <= valueColumns; ++j) {
        for (size_t i = 0; i < input.grid.size(); ++i) {
            platform::Decimal value = input.grid[i].values[j - 1];
            if (value.isZero()) continue;
            if (Status st = poke(static_cast<int>(i) + 1 + kFirstGridSheetRow, j + sm, platform::formatSpreadsheet(value));
                !st)
                return st;
        }
    }
    return Status::ok();
}

Status exportTable(platform::SpreadsheetServer& server, platform::Interaction& ui,
                   const data::Installation& installation, const std::filesystem::path& folder,
                   const TableExportInput& input, std::filesystem::path* workCopy) {
    std::string templateName = tableTemplateName(input.table);
    WorkCopy copy;
    Status st = directStart(server, ui, installation, folder, templateName, copy);
    if (st) {
        if (workCopy) *workCopy = copy.path;
        st = writeTableLayout(server, copy, input,
                              platform::equalsIgnoreAsciiCase(templateName, kGenericTableTemplate));
    }
    return finishExport(server, ui, copy, st);
}

}  // namespace tavir::analysis
