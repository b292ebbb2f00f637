#include "demo/office_files.h"

#include "data/row_attribute.h"
#include "platform/cp1251.h"
#include "platform/spreadsheet_channel.h"
#include "platform/text.h"
#include "platform/xlsx_workbook.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tavir::demo {

namespace fs = std::filesystem;
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

}  // namespace

Status writeTemplates(const fs::path& xlsDir, const Reference& reference) {
    // The fixed templates carry a title line; the exports write the rest.
    const std::vector<std::pair<std::string, std::string>> fixed{
        {"RAS.xls", "Тарвинская область"}, {"RAS1.xls", "Тарвинская область"},
        {"rang.xls", "Ранговая таблица"}, {"swod.xls", "Тарвинская область"}};
    for (const auto& [name, title] : fixed) {
        XlsxWorkbook book = XlsxWorkbook::createNew();
        if (Status st = book.setText(1, 1, title); !st) return st;
        if (Status st = book.save(xlsDir / platform::templateFileName(name)); !st) return st;
    }
    for (const auto& [code, form] : reference.forms) {
        for (const TableRef& table : form.tables) {
            const std::string name = platform::fitToWidth(table.tabl.NAMEL, 15);
            if (name.empty()) continue;
            XlsxWorkbook book = XlsxWorkbook::createNew();
            if (Status st = book.setText(1, 1, "Тарвинская область"); !st) return st;
            if (Status st = writeColumnHeadings(book, table, 9); !st) return st;
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
