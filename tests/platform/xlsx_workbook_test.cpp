#include "platform/xlsx_workbook.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace tavir::platform;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() : dir_(fs::temp_directory_path() / ("tavir-xlsx-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(dir_);
    }
    ~TempDir() { fs::remove_all(dir_); }
    fs::path operator/(const std::string& name) const { return dir_ / name; }
    const fs::path& path() const { return dir_; }

private:
    fs::path dir_;
};

using Parts = std::vector<std::pair<std::string, std::string>>;

void writeZip(const fs::path& path, const Parts& parts) {
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(za, nullptr);
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
        ASSERT_GE(zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(za), 0);
}

Parts readZip(const fs::path& path) {
    Parts parts;
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!za) return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, i, 0, &st);
        std::string data(st.size, '\0');
        zip_file_t* f = zip_fopen_index(za, i, 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        parts.emplace_back(st.name, data);
    }
    zip_discard(za);
    return parts;
}

const std::string* part(const Parts& parts, const std::string& name) {
    for (const auto& [n, d] : parts) {
        if (n == name) return &d;
    }
    return nullptr;
}

// A workbook as a spreadsheet program writes it: shared strings, styles with
// a bold number format, a formatted row and column, a formula with its
// calculation chain, two sheets with the second one active, rows and cells
// without references, and a part the layer knows nothing of.
Parts templateParts() {
    const std::string main = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
    const std::string rel = R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
    const std::string ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    return {
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
         R"(<Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/xl/workbook.xml" ContentType=")" + ct + R"(sheet.main+xml"/>)"
         R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType=")" + ct + R"(worksheet+xml"/>)"
         R"(<Override PartName="/xl/worksheets/sheet2.xml" ContentType=")" + ct + R"(worksheet+xml"/>)"
         R"(<Override PartName="/xl/styles.xml" ContentType=")" + ct + R"(styles+xml"/>)"
         R"(<Override PartName="/xl/sharedStrings.xml" ContentType=")" + ct + R"(sharedStrings+xml"/>)"
         R"(<Override PartName="/xl/calcChain.xml" ContentType=")" + ct + R"(calcChain+xml"/>)"
         R"(</Types>)"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="/xl/workbook.xml"/>)"
         R"(</Relationships>)"},
        {"xl/workbook.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><workbook )" + main + " " + rel +
             R"(><bookViews><workbookView activeTab="1"/></bookViews><sheets>)"
             R"(<sheet name="Титул" sheetId="1" r:id="rId1"/><sheet name="Таблица" sheetId="2" r:id="rId2"/>)"
             R"(</sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
         R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet2.xml"/>)"
         R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
         R"(<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)"
         R"(<Relationship Id="rId5" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/>)"
         R"(</Relationships>)"},
        {"xl/worksheets/sheet1.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><worksheet )" + main +
             R"(><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row></sheetData></worksheet>)"},
        // Row 2 and its cells carry no reference; row 4 is formatted as a
        // whole, column E too; B3 sums the row above.
        {"xl/worksheets/sheet2.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
         R"(<x:dimension ref="A1:B3"/><x:cols><x:col min="5" max="5" width="12" style="1" customWidth="1"/></x:cols>)"
         R"(<x:sheetData><x:row r="1" spans="1:2"><x:c r="A1" s="1" t="s"><x:v>1</x:v></x:c></x:row>)"
         R"(<x:row><x:c s="1"><x:v>7</x:v></x:c><x:c><x:v>8</x:v></x:c></x:row>)"
         R"(<x:row r="3"><x:c r="B3" s="1"><x:f>SUM(A2:B2)</x:f><x:v>15</x:v></x:c></x:row>)"
         R"(<x:row r="4" s="2" customFormat="1"/></x:sheetData></x:worksheet>)"},
        {"xl/styles.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet )" + main +
             R"(><numFmts count="1"><numFmt numFmtId="164" formatCode="0.000"/></numFmts>)"
             R"(<fonts count="2"><font><sz val="10"/><name val="Arial"/></font><font><b/><sz val="10"/><name val="Arial"/></font></fonts>)"
             R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
             R"(<borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border>)"
             R"(<border diagonalUp="1"><left style="medium"/><right/><top/><bottom/><diagonal style="thin"/></border></borders>)"
             R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
             R"(<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
             R"(<xf numFmtId="164" fontId="1" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1"/>)"
             R"(<xf numFmtId="10" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs>)"
             R"(</styleSheet>)"},
        {"xl/sharedStrings.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><sst )" + main +
             R"( count="2" uniqueCount="2"><si><t>Титульный лист</t></si><si><r><t>Итого </t></r><r><rPr><b/></rPr><t>по району</t></r></si></sst>)"},
        {"xl/calcChain.xml", R"(<?xml version="1.0" encoding="UTF-8"?><calcChain )" + main + R"(><c r="B3" i="2"/></calcChain>)"},
        {"docProps/custom.bin", std::string("\x01\x02\x00\xff", 4)},
    };
}

TEST(XlsxWorkbook, NewWorkbookRoundTrip) {
    TempDir dir;
    XlsxWorkbook book = XlsxWorkbook::createNew();
    ASSERT_TRUE(book.setText(5, 3, "Ф12 Т1000 Сведения"));
    ASSERT_TRUE(book.setNumber(2, 28, 12.5));  // column AB
    ASSERT_TRUE(book.setNumber(5, 1, -0.001));
    ASSERT_TRUE(book.setText(2, 1, " с пробелами "));
    ASSERT_TRUE(book.setText(5, 2, "стало"));
    ASSERT_TRUE(book.setNumber(5, 2, 3));  // a text cell becomes a number cell
    ASSERT_TRUE(book.setText(2, 28, ""));   // and a number cell empty
    ASSERT_TRUE(book.save(dir / "new.xlsx"));

    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "new.xlsx", back));
    EXPECT_EQ(back.value(5, 3).kind, CellKind::Text);
    EXPECT_EQ(back.value(5, 3).text, "Ф12 Т1000 Сведения");
    EXPECT_EQ(back.value(2, 1).text, " с пробелами ");
    EXPECT_EQ(back.value(5, 1).kind, CellKind::Number);
    EXPECT_EQ(back.value(5, 1).number, -0.001);
    EXPECT_EQ(back.value(5, 2).kind, CellKind::Number);
    EXPECT_EQ(back.value(5, 2).number, 3);
    EXPECT_EQ(back.value(2, 28).kind, CellKind::Empty);
    EXPECT_EQ(back.value(1, 1).kind, CellKind::Empty);
}

TEST(XlsxWorkbook, TemplateKeepsItsStylesAndParts) {
    TempDir dir;
    Parts original = templateParts();
    writeZip(dir / "t.xlsx", original);
    XlsxWorkbook book;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "t.xlsx", book));
    // The active (second) sheet is read, its shared strings and cells
    // without references included.
    EXPECT_EQ(book.value(1, 1).text, "Итого по району");
    EXPECT_EQ(book.value(2, 1).number, 7);
    EXPECT_EQ(book.value(2, 2).number, 8);
    EXPECT_EQ(book.format(2, 1).styleIndex, 1);

    ASSERT_TRUE(book.setNumber(1, 1, 42.5));   // shared string cell with a style
    ASSERT_TRUE(book.setNumber(3, 2, 1));      // the formula cell
    ASSERT_TRUE(book.setText(4, 3, "строка"));  // new cell in the formatted row
    ASSERT_TRUE(book.setNumber(6, 5, 2));      // new cell in the formatted column
    ASSERT_TRUE(book.setNumber(6, 2, 9));      // new cell, nothing formatted
    ASSERT_TRUE(book.save(dir / "w.xlsx"));

    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "w.xlsx", back));
    EXPECT_EQ(back.value(1, 1).number, 42.5);
    EXPECT_EQ(back.format(1, 1).styleIndex, 1);
    EXPECT_EQ(back.format(1, 1).numFmtId, 164);
    EXPECT_EQ(back.format(1, 1).fontId, 1);
    EXPECT_EQ(back.value(3, 2).number, 1);
    EXPECT_EQ(back.format(4, 3).styleIndex, 2);
    EXPECT_EQ(back.format(6, 5).styleIndex, 1);
    EXPECT_EQ(back.format(6, 2).styleIndex, 0);
    EXPECT_EQ(back.value(2, 2).number, 8);

    Parts written = readZip(dir / "w.xlsx");
    // The first sheet and the unknown part are untouched; the formula is
    // gone, so is the calculation chain, and the reader recalculates.
    EXPECT_EQ(*part(written, "xl/worksheets/sheet1.xml"), *part(original, "xl/worksheets/sheet1.xml"));
    EXPECT_EQ(*part(written, "docProps/custom.bin"), *part(original, "docProps/custom.bin"));
    EXPECT_EQ(part(written, "xl/calcChain.xml"), nullptr);
    EXPECT_EQ(part(written, "[Content_Types].xml")->find("calcChain"), std::string::npos);
    EXPECT_EQ(part(written, "xl/_rels/workbook.xml.rels")->find("calcChain"), std::string::npos);
    EXPECT_EQ(part(written, "xl/worksheets/sheet2.xml")->find("SUM("), std::string::npos);
    EXPECT_NE(part(written, "xl/workbook.xml")->find("fullCalcOnLoad=\"1\""), std::string::npos);
    EXPECT_NE(part(written, "xl/worksheets/sheet2.xml")->find("<x:dimension ref=\"A1:E6\"/>"), std::string::npos);
}

TEST(XlsxWorkbook, BordersCombineWithEachCellsStyle) {
    TempDir dir;
    writeZip(dir / "t.xlsx", templateParts());
    XlsxWorkbook book;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "t.xlsx", book));
    ASSERT_TRUE(book.addBorders(3, 2, 1, 1));  // corners in any order: A1:B3
    ASSERT_TRUE(book.addBorders(1, 1, 3, 2));  // again: nothing new
    ASSERT_TRUE(book.save(dir / "w.xlsx"));

    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "w.xlsx", back));
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 2; ++c) {
            CellFormat f = back.format(r, c);
            EXPECT_TRUE(f.thinLeft && f.thinRight && f.thinTop && f.thinBottom) << r << "," << c;
        }
    }
    // A1 keeps its bold number format; the plain and the bold style each got
    // one bordered copy, however often the frame was drawn.
    CellFormat a1 = back.format(1, 1);
    EXPECT_EQ(a1.numFmtId, 164);
    EXPECT_EQ(a1.fontId, 1);
    EXPECT_EQ(back.format(2, 1).styleIndex, a1.styleIndex);
    EXPECT_EQ(back.format(1, 2).styleIndex, back.format(2, 2).styleIndex);
    EXPECT_LT(std::max(a1.styleIndex, back.format(1, 2).styleIndex), 5);
    EXPECT_EQ(back.value(3, 1).kind, CellKind::Empty);
    EXPECT_FALSE(back.format(4, 1).thinLeft);
    EXPECT_FALSE(back.format(1, 3).thinLeft);
    // The diagonal of the bold style's own border stays.
    std::string styles = *part(readZip(dir / "w.xlsx"), "xl/styles.xml");
    EXPECT_NE(styles.find(R"(<border diagonalUp="1"><left style="thin">)"), std::string::npos);
    EXPECT_NE(styles.find(R"(<bottom style="thin"><color indexed="64"/></bottom><diagonal style="thin"/>)"),
              std::string::npos);
}

TEST(XlsxWorkbook, FormattingReadsBackAndOutlivesValuesSetLater) {
    TempDir dir;
    XlsxWorkbook book = XlsxWorkbook::createNew();
    const CellStyle heading{.bold = true, .wrap = true, .centred = true};
    ASSERT_TRUE(book.styleRows(9, 10, heading));
    ASSERT_TRUE(book.styleCells(2, 1, 2, 1, {.bold = true, .fontSize = 14}));
    ASSERT_TRUE(book.styleCells(15, 6, 11, 5, {.numFmtId = 2}));  // corners in any order: E11:F15
    ASSERT_TRUE(book.styleCells(20, 1, 30, 20, {.bold = true}));
    ASSERT_TRUE(book.setColumnWidth(1, 1, 40));
    ASSERT_TRUE(book.setColumnWidth(6, 2, 12));
    ASSERT_TRUE(book.setColumnWidth(4, 4, 20));  // cuts the range 2..6 in three
    ASSERT_TRUE(book.setText(9, 3, "Графа"));   // a new cell of a styled row
    ASSERT_TRUE(book.setRowHeight(9, 9, 52));
    ASSERT_TRUE(book.setRowHeight(30, 31, 20.5));
    ASSERT_TRUE(book.save(dir / "t.xlsx"));

    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "t.xlsx", back));
    CellFormat h = back.format(9, 3);
    EXPECT_TRUE(h.bold && h.wrap && h.centred);
    EXPECT_EQ(h.fontSize, 10);
    EXPECT_EQ(back.format(10, 40).styleIndex, h.styleIndex);  // a cell still to come takes its row's style
    CellFormat title = back.format(2, 1);
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.fontSize, 14);
    EXPECT_FALSE(title.wrap || title.centred);
    EXPECT_FALSE(back.format(3, 1).bold);
    EXPECT_FALSE(back.format(11, 4).bold);
    EXPECT_EQ(back.format(11, 5).numFmtId, 2);
    EXPECT_EQ(back.format(15, 6).numFmtId, 2);
    EXPECT_FALSE(back.format(11, 5).bold);
    // 231 bold cells, two heading rows: one style entry each.
    EXPECT_EQ(back.format(20, 1).styleIndex, back.format(30, 20).styleIndex);
    EXPECT_TRUE(back.format(25, 7).bold);
    EXPECT_LE(std::max({h.styleIndex, title.styleIndex, back.format(20, 1).styleIndex,
                        back.format(11, 5).styleIndex}),
              4);
    const std::vector<std::pair<int, double>> widths{{1, 40}, {2, 12}, {3, 12}, {4, 20}, {5, 12}, {6, 12}, {7, 0}};
    for (const auto& [column, width] : widths) EXPECT_EQ(back.columnWidth(column), width) << column;
    EXPECT_EQ(back.rowHeight(9), 52);
    EXPECT_EQ(back.rowHeight(31), 20.5);
    EXPECT_EQ(back.rowHeight(10), 0);  // styled, but of the default height

    // Values set afterwards, as the channel pokes them, and a frame drawn
    // over the heading: the formatting stays.
    ASSERT_TRUE(back.setText(2, 1, "Ф5 Т1000 Прививки"));
    ASSERT_TRUE(back.setNumber(9, 1, 1));
    ASSERT_TRUE(back.setText(9, 3, "Другая графа"));
    ASSERT_TRUE(back.setNumber(12, 5, 1.5));
    ASSERT_TRUE(back.addBorders(9, 1, 10, 3));
    ASSERT_TRUE(back.save(dir / "w.xlsx"));
    XlsxWorkbook again;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "w.xlsx", again));
    EXPECT_EQ(again.value(2, 1).text, "Ф5 Т1000 Прививки");
    EXPECT_TRUE(again.format(2, 1).bold);
    EXPECT_EQ(again.format(2, 1).fontSize, 14);
    for (int c = 1; c <= 3; ++c) {
        CellFormat f = again.format(9, c);
        EXPECT_TRUE(f.bold && f.wrap && f.centred && f.thinLeft && f.thinBottom) << c;
    }
    EXPECT_EQ(again.value(12, 5).number, 1.5);
    EXPECT_EQ(again.format(12, 5).numFmtId, 2);
    for (const auto& [column, width] : widths) EXPECT_EQ(again.columnWidth(column), width) << column;
    EXPECT_EQ(again.rowHeight(9), 52);
}

TEST(XlsxWorkbook, FormattingATemplateReusesItsStylesAndKeepsItsColumns) {
    TempDir dir;
    writeZip(dir / "t.xlsx", templateParts());
    XlsxWorkbook book;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "t.xlsx", book));
    ASSERT_TRUE(book.styleCells(1, 1, 1, 1, {.bold = true}));  // already bold
    ASSERT_TRUE(book.styleCells(2, 2, 2, 2, {.bold = true}));  // plain: takes the template's bold font
    ASSERT_TRUE(book.styleRows(4, 4, {.centred = true}));      // a formatted row keeps its number format
    ASSERT_TRUE(book.setColumnWidth(4, 6, 20));                // over the formatted column E
    ASSERT_TRUE(book.setNumber(7, 5, 2));
    ASSERT_TRUE(book.save(dir / "w.xlsx"));

    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "w.xlsx", back));
    EXPECT_EQ(back.format(1, 1).styleIndex, 1);
    EXPECT_EQ(back.format(2, 2).fontId, 1);
    EXPECT_TRUE(back.format(2, 2).bold);
    EXPECT_EQ(back.format(2, 2).numFmtId, 0);
    CellFormat row4 = back.format(4, 9);
    EXPECT_TRUE(row4.centred);
    EXPECT_EQ(row4.numFmtId, 10);
    EXPECT_EQ(back.format(7, 5).styleIndex, 1);
    for (int c = 4; c <= 6; ++c) EXPECT_EQ(back.columnWidth(c), 20) << c;
    EXPECT_EQ(back.columnWidth(3), 0);

    // The column entries stand before the cells, in column order, with the
    // sheet's own prefix; the other sheet is untouched.
    Parts written = readZip(dir / "w.xlsx");
    const std::string& sheet = *part(written, "xl/worksheets/sheet2.xml");
    size_t cols = sheet.find("<x:cols>");
    ASSERT_NE(cols, std::string::npos);
    EXPECT_LT(cols, sheet.find("<x:sheetData>"));
    size_t d = sheet.find(R"(<x:col min="4" max="4")", cols);
    size_t e = sheet.find(R"(<x:col min="5" max="5")", cols);
    size_t f = sheet.find(R"(<x:col min="6" max="6")", cols);
    EXPECT_TRUE(d != std::string::npos && e != std::string::npos && f != std::string::npos);
    EXPECT_TRUE(d < e && e < f);
    EXPECT_EQ(*part(written, "xl/worksheets/sheet1.xml"), *part(templateParts(), "xl/worksheets/sheet1.xml"));
}

TEST(XlsxWorkbook, FormattingRefusesCellsOutsideTheSheetAndBooksWithoutStyles) {
    TempDir dir;
    XlsxWorkbook book = XlsxWorkbook::createNew();
    EXPECT_EQ(book.styleCells(1, 0, 2, 2, {.bold = true}).kind(), ErrorKind::Invalid);
    EXPECT_EQ(book.styleRows(1, XlsxWorkbook::kMaxRow + 1, {.bold = true}).kind(), ErrorKind::Invalid);
    EXPECT_EQ(book.setColumnWidth(1, XlsxWorkbook::kMaxColumn + 1, 10).kind(), ErrorKind::Invalid);
    for (double width : {0.0, -3.0, 256.0}) EXPECT_EQ(book.setColumnWidth(1, 1, width).kind(), ErrorKind::Invalid) << width;
    for (double height : {0.0, -1.0, 410.0}) EXPECT_EQ(book.setRowHeight(1, 1, height).kind(), ErrorKind::Invalid) << height;
    EXPECT_EQ(book.setRowHeight(0, 1, 20).kind(), ErrorKind::Invalid);

    Parts noStyles = templateParts();
    std::erase_if(noStyles, [](const auto& p) { return p.first == "xl/styles.xml"; });
    for (auto& [name, data] : noStyles) {
        if (name != "xl/_rels/workbook.xml.rels") continue;
        size_t at = data.find(R"(<Relationship Id="rId3")");
        data.erase(at, data.find("/>", at) + 2 - at);
    }
    writeZip(dir / "plain.xlsx", noStyles);
    XlsxWorkbook plain;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "plain.xlsx", plain));
    EXPECT_EQ(plain.styleCells(1, 1, 1, 1, {.bold = true}).kind(), ErrorKind::Invalid);
    EXPECT_EQ(plain.styleRows(1, 1, {.bold = true}).kind(), ErrorKind::Invalid);
    ASSERT_TRUE(plain.setColumnWidth(1, 1, 30));  // widths belong to the sheet
}

TEST(XlsxWorkbook, FailuresNameTheFileAndKeepEarlierCopies) {
    TempDir dir;
    XlsxWorkbook book;
    Status missing = XlsxWorkbook::load(dir / "нет.xlsx", book);
    EXPECT_EQ(missing.kind(), ErrorKind::NotFound);
    EXPECT_NE(missing.message().find((dir / "нет.xlsx").string()), std::string::npos);

    std::ofstream(dir / "old.xls") << "D0CF11E0 not a zip";
    Status damaged = XlsxWorkbook::load(dir / "old.xls", book);
    EXPECT_EQ(damaged.kind(), ErrorKind::Damaged);
    EXPECT_NE(damaged.message().find("old.xls"), std::string::npos);

    Parts noSheet = templateParts();
    std::erase_if(noSheet, [](const auto& p) { return p.first == "xl/worksheets/sheet2.xml"; });
    writeZip(dir / "broken.xlsx", noSheet);
    EXPECT_EQ(XlsxWorkbook::load(dir / "broken.xlsx", book).kind(), ErrorKind::Damaged);

    XlsxWorkbook fresh = XlsxWorkbook::createNew();
    EXPECT_EQ(fresh.setNumber(0, 1, 1).kind(), ErrorKind::Invalid);
    EXPECT_EQ(fresh.setText(1, XlsxWorkbook::kMaxColumn + 1, "x").kind(), ErrorKind::Invalid);

    Status noFolder = fresh.save(dir / "нет" / "1.xlsx");
    EXPECT_EQ(noFolder.kind(), ErrorKind::Io);
    EXPECT_NE(noFolder.message().find("1.xlsx"), std::string::npos);

    // A write that cannot land leaves no temporary file behind; a later one
    // replaces the earlier copy whole.
    ASSERT_TRUE(fresh.setText(1, 1, "первая"));
    ASSERT_TRUE(fresh.save(dir / "copy.xlsx"));
    fs::create_directory(dir / "blocked.xlsx");
    EXPECT_EQ(fresh.save(dir / "blocked.xlsx").kind(), ErrorKind::Io);
    ASSERT_TRUE(fresh.setText(1, 1, "вторая"));
    ASSERT_TRUE(fresh.save(dir / "copy.xlsx"));
    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "copy.xlsx", back));
    EXPECT_EQ(back.value(1, 1).text, "вторая");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"blocked.xlsx", "broken.xlsx", "copy.xlsx", "old.xls"}));
}

}  // namespace
