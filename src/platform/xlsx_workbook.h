// Office Open XML workbooks (.xlsx): read a template, set cells of its active
// sheet, draw thin borders, write the result under a new name. Everything
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
};

class XlsxWorkbook {
public:
    static constexpr int kMaxRow = 1048576;
    static constexpr int kMaxColumn = 16384;

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

    CellValue value(int row, int column) const;
    CellFormat format(int row, int column) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavir::platform
