#include "demo/office_files.h"

#include "data/row_attribute.h"
#include "platform/cp1251.h"
#include "platform/spreadsheet_channel.h"
#include "platform/text.h"
#include "platform/xlsx_workbook.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tavir::demo {

namespace fs = std::filesystem;
using platform::CellStyle;
using platform::Status;
using platform::XlsxWorkbook;

namespace {

std::string trimmed(std::string_view text) { return std::string(platform::trimRight(text)); }

std::string formTitle(const data::Forma& f) { return "Ф" + std::to_string(f.UNICOD) + " " + trimmed(f.NAME); }

// The column names and numbers of a table in rows `row` and `row` + 1.
Status writeColumnHeadings(XlsxWorkbook& book, const TableRef& table, int row) {
    for (const data::Grafa& g : table.cols) {
        if (Status st = book.setText(row, g.COD, trimmed(g.NAME)); !st) return st;
        if (Status st = book.setNumber(row + 1, g.COD, g.COD); !st) return st;
    }
    return Status::ok();
}

// The exports fill the templates below; a template holds fixed text only in
// cells none of its exports writes, and styles the rest:
//  RAS   completeness (R1C1, headings in rows 8-9, data from row 10),
//        breakdown by districts (R1C1-R3C1, headings in rows 7-9, data from
//        row 10), indicators (R1C3, R2C1, R4C1, headings in rows 9-10, data
//        from row 11);
//  RAS1  list of submitted reports (R1C1, R2C1, headings in row 9, data from
//        row 10), breakdown by facilities (as in RAS);
//  rang  R2C1, R3C1, R10C2, R10C5, rows from 11 in columns 1-4, the range
//        bounds in R11C5-R15C6;
//  swod and the templates of single tables: R2C1, R3C1, data from row 11;
//        rows 9 and 10 (column names and numbers) in swod only.
// Row 10 of RAS holds the indicators' headings but the first data row of the
// other exports, so it is left plain.

const CellStyle kTitle{.bold = true, .fontSize = 12};
const CellStyle kSubtitle{.bold = true};
const CellStyle kHeading{.bold = true, .wrap = true, .centred = true};
const CellStyle kColumnNumbers{.centred = true};
// Built-in number format "0.00".
constexpr int kTwoDecimals = 2;

// The widest sheets: a breakdown's 105 marks after its two name columns, and
// a table's descriptive columns followed by up to 35 value columns.
constexpr int kLastBreakdownColumn = 107;
constexpr int kLastTableColumn = 45;

// A wrapped heading keeps its row's height: rows are made tall enough for
// the headings they will show.
constexpr double kLineHeight = 13;         // points per line of the bold 10-point font
constexpr int kShortHeadingLines = 2;      // the exports' own headings
constexpr int kColumnNameLines = 8;        // a column name of up to 100 characters

constexpr double kNameWidth = 40;     // districts, facilities
constexpr double kRowNameWidth = 50;  // the rows of a report table
constexpr double kValueWidth = 14;    // room for a bold word of a heading

// Rows 1..`lastRow` bold, row `mainRow` also larger.
Status titleRows(XlsxWorkbook& book, int lastRow, int mainRow) {
    if (Status st = book.styleRows(1, lastRow, kSubtitle); !st) return st;
    return book.styleRows(mainRow, mainRow, kTitle);
}

// Rows `first`..`last` styled as headings, `lines` lines high.
Status headingRows(XlsxWorkbook& book, int first, int last, int lines) {
    if (Status st = book.styleRows(first, last, kHeading); !st) return st;
    return book.setRowHeight(first, last, lines * kLineHeight);
}

Status writeRas(XlsxWorkbook& book) {
    if (Status st = titleRows(book, 4, 1); !st) return st;
    if (Status st = headingRows(book, 7, 9, kShortHeadingLines); !st) return st;
    if (Status st = book.setColumnWidth(1, 1, kNameWidth); !st) return st;
    if (Status st = book.setColumnWidth(2, 2, 10); !st) return st;  // codes and numbers
    return book.setColumnWidth(3, kLastBreakdownColumn, kValueWidth);
}

// Column 2 holds the kind of facility in the list and the facility's name in
// the breakdown; column 3 the facility's name in the list and the first mark
// in the breakdown.
Status writeRas1(XlsxWorkbook& book) {
    if (Status st = titleRows(book, 3, 1); !st) return st;
    if (Status st = headingRows(book, 7, 9, kShortHeadingLines); !st) return st;
    if (Status st = book.setColumnWidth(1, 1, 25); !st) return st;
    if (Status st = book.setColumnWidth(2, 2, 35); !st) return st;
    if (Status st = book.setColumnWidth(3, 3, 45); !st) return st;
    return book.setColumnWidth(4, kLastBreakdownColumn, kValueWidth);
}

Status writeRang(XlsxWorkbook& book) {
    if (Status st = book.setText(1, 1, "Ранговая таблица"); !st) return st;
    if (Status st = titleRows(book, 3, 1); !st) return st;
    if (Status st = headingRows(book, 10, 10, kShortHeadingLines); !st) return st;
    // Column 2 (the value) and 5 (the ranges) are headed by the export.
    const std::pair<int, const char*> headings[] = {{1, "Наименование"}, {3, "Ранг"}, {4, "Номер диапазона"}};
    for (const auto& [column, text] : headings) {
        if (Status st = book.setText(10, column, text); !st) return st;
    }
    if (Status st = book.styleCells(11, 5, 15, 6, {.numFmtId = kTwoDecimals}); !st) return st;
    const double widths[] = {kNameWidth, kValueWidth, 8, 12, 12, 12};
    for (int column = 1; column <= 6; ++column) {
        if (Status st = book.setColumnWidth(column, column, widths[column - 1]); !st) return st;
    }
    return Status::ok();
}

// Width of a table's column by what it shows.
double tableColumnWidth(const data::Grafa& column, int descriptiveColumns) {
    if (column.COD > descriptiveColumns) return kValueWidth;
    switch (column.TYPEGR) {
        case 1: return kRowNameWidth;  // the row's name
        case 3: return 14;             // diagnosis codes
        case 4: return 6;              // sex mark
        default: return 8;             // the row's code
    }
}

// Lines the longest column name of the table takes in its column, wrapped.
int columnNameLines(const TableRef& table) {
    int lines = 1;
    for (const data::Grafa& g : table.cols) {
        const double width = tableColumnWidth(g, table.tabl.SM);
        const double chars = static_cast<double>(platform::charCount(trimmed(g.NAME)));
        // Wrapping at blanks leaves part of each line empty: a fifth more lines.
        lines = std::max(lines, static_cast<int>(std::ceil(chars * 1.2 / width)));
    }
    return std::min(lines, kColumnNameLines);
}

// The table layout: the region in row 1, the table's title (written by the
// export) in row 2, the heading line in row 3, column names and numbers in
// rows 9 and 10. A single table's template carries its own columns; the
// generic one leaves them to the export.
Status writeTableTemplate(XlsxWorkbook& book, const TableRef* table) {
    if (Status st = book.setText(1, 1, "Тарвинская область"); !st) return st;
    if (Status st = titleRows(book, 3, 2); !st) return st;
    if (Status st = headingRows(book, 9, 9, table ? columnNameLines(*table) : kColumnNameLines); !st) return st;
    if (Status st = book.styleRows(10, 10, kColumnNumbers); !st) return st;
    if (!table) {
        if (Status st = book.setColumnWidth(1, 1, kRowNameWidth); !st) return st;
        return book.setColumnWidth(2, kLastTableColumn, kValueWidth);
    }
    for (const data::Grafa& g : table->cols) {
        if (Status st = book.setColumnWidth(g.COD, g.COD, tableColumnWidth(g, table->tabl.SM)); !st) return st;
    }
    return writeColumnHeadings(book, *table, 9);
}

Status writeSwod(XlsxWorkbook& book) { return writeTableTemplate(book, nullptr); }

}  // namespace

Status writeTemplates(const fs::path& xlsDir, const Reference& reference) {
    struct Fixed {
        std::string_view name;
        Status (*write)(XlsxWorkbook&);
    };
    for (const Fixed& t : {Fixed{"RAS.xls", writeRas}, Fixed{"RAS1.xls", writeRas1}, Fixed{"rang.xls", writeRang},
                           Fixed{"swod.xls", writeSwod}}) {
        XlsxWorkbook book = XlsxWorkbook::createNew();
        if (Status st = t.write(book); !st) return st;
        if (Status st = book.save(xlsDir / platform::templateFileName(t.name)); !st) return st;
    }
    for (const auto& [code, form] : reference.forms) {
        for (const TableRef& table : form.tables) {
            const std::string name = platform::fitToWidth(table.tabl.NAMEL, 15);
            if (name.empty()) continue;
            XlsxWorkbook book = XlsxWorkbook::createNew();
            if (Status st = writeTableTemplate(book, &table); !st) return st;
            if (Status st = book.save(xlsDir / platform::templateFileName(name)); !st) return st;
        }
    }
    return Status::ok();
}

Status writeBlankForms(const fs::path& docDir, const Reference& reference) {
    std::vector<std::string> list;
    for (const auto& [code, form] : reference.forms) {
        XlsxWorkbook book = XlsxWorkbook::createNew();
        if (Status st = book.setText(1, 1, formTitle(form.forma)); !st) return st;
        if (Status st = book.setText(2, 1, "Учреждение:"); !st) return st;
        if (Status st = book.setText(3, 1, "Период:"); !st) return st;
        int row = 5;
        for (const TableRef& table : form.tables) {
            if (Status st = book.setText(row, 1, "Т " + std::to_string(table.tabl.CODTABL) + " " +
                                                     trimmed(table.tabl.NAME));
                !st)
                return st;
            if (Status st = writeColumnHeadings(book, table, row + 1); !st) return st;
            const int first = row + 3;
            row = first;
            for (const data::Stroka& s : table.rows) {
                for (const data::Grafa& g : table.cols) {
                    if (g.COD > table.tabl.SM) continue;
                    if (Status st = book.setText(row, g.COD, data::descriptiveCell(s, g.TYPEGR)); !st) return st;
                }
                ++row;
            }
            const int lastColumn = std::max(1, table.tabl.SM + table.tabl.A);
            if (row > first) {
                if (Status st = book.addBorders(first - 2, 1, row - 1, lastColumn); !st) return st;
            }
            row += 2;
        }
        const std::string name = "f" + std::to_string(code) + ".xlsx";
        if (Status st = book.save(docDir / name); !st) return st;
        list.push_back(name + "!" + formTitle(form.forma));
    }
    return platform::writeTextLinesCp1251(docDir / "blanki.txt", list);
}

}  // namespace tavir::demo
