// Office Open XML workbooks (.xlsx): read a template, set cells of its active
// sheet, draw thin borders, give cells, rows and columns the formatting of a
// template (bold or larger font, wrapped and centred text, built-in number
// formats, column widths), write the result under a new name. Everything
// else of the file (other sheets, drawings, print settings) is kept as it was.
#pragma once

#include "platform/status.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tavir::platform {

enum class CellKind { Empty, Number, Text, Other };

struct CellValue {
    CellKind kind = CellKind::Empty;
    double number = 0;
    std::string text;  // the text of a text cell
};

// The parts of a cell's style that the channel touches or keeps.
struct CellFormat {
    int styleIndex = 0;  // index into cellXfs
    int numFmtId = 0;
    int fontId = 0;
    int fillId = 0;
    bool thinLeft = false, thinRight = false, thinTop = false, thinBottom = false;
    bool bold = false;
    double fontSize = 0;  // points; 0 when the font names none
    bool wrap = false;
    bool centred = false;  // horizontally
};

// Formatting asked of cells, combined with each cell's own style: what is
// not asked for (fill, borders, the font's name, other alignment) stays.
struct CellStyle {
    bool bold = false;
    double fontSize = 0;   // points; 0 keeps the font's size
    bool wrap = false;
    bool centred = false;  // horizontally
    int numFmtId = -1;     // a built-in number format (1 "0", 2 "0.00"); -1 keeps the cell's
};

class XlsxWorkbook {
public:
    static constexpr int kMaxRow = 1048576;
    static constexpr int kMaxColumn = 16384;
    static constexpr double kMaxRowHeight = 409;  // points, the spreadsheet program's limit

    XlsxWorkbook();
    ~XlsxWorkbook();
    XlsxWorkbook(XlsxWorkbook&&) noexcept;
    XlsxWorkbook& operator=(XlsxWorkbook&&) noexcept;

    // A new workbook with one empty sheet "Лист1".
    static XlsxWorkbook createNew();
    // Reads a workbook; the message names the file and what is wrong with it.
    static Status load(const std::filesystem::path& path, XlsxWorkbook& out);
    // Writes the workbook to a temporary file beside `path` and renames it
    // over `path`, so a failed write leaves any earlier file untouched.
    Status save(const std::filesystem::path& path);

    // Rows and columns count from 1. The cell keeps its style; a cell that
    // did not exist takes the style of its row or column.
    // An empty text empties the cell, as typing nothing over it does.
    Status setNumber(int row, int column, double value);
    Status setText(int row, int column, std::string_view text);
    // Thin lines on all four sides of every cell of the rectangle, combined
    // with each cell's own style (font, fill, number format stay).
    Status addBorders(int firstRow, int firstColumn, int lastRow, int lastColumn);
    // `style` combined with the style of every cell of the rectangle. Equal
    // results share one style entry, however many cells take them.
    Status styleCells(int firstRow, int firstColumn, int lastRow, int lastColumn, const CellStyle& style);
    // The same for whole rows: their cells, and the cells set in them later.
    Status styleRows(int firstRow, int lastRow, const CellStyle& style);
    // Width of the columns in characters of the standard font's digits, as
    // the spreadsheet program's column width dialog shows it (up to 255).
    // The columns keep their own style.
    Status setColumnWidth(int firstColumn, int lastColumn, double characters);

    // Height of the rows in points, kept however the cells wrap: a heading
    // row of wrapped column names shows them whole.
    Status setRowHeight(int firstRow, int lastRow, double points);

    CellValue value(int row, int column) const;
    CellFormat format(int row, int column) const;
    // The column's width as setColumnWidth takes it; 0 for the sheet's default.
    double columnWidth(int column) const;
    // The row's height as setRowHeight takes it; 0 for the sheet's default.
    double rowHeight(int row) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavir::platform
