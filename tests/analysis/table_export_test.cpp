#include "analysis/table_export.h"

#include "workdir_fixture.h"

#include <gtest/gtest.h>

#include <chrono>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace tavir;
using namespace tavir::analysis;
using platform::CellKind;
using platform::Decimal;
namespace fs = std::filesystem;

namespace {

Decimal d(double v) { return Decimal::fromDouble(v); }

data::Stroka row(int unicod, std::string code, std::string name, std::string mkb = "", std::string pol = "") {
    data::Stroka s;
    s.UNICOD = unicod;
    s.CODFORM = 12;
    s.CODTABL = 1000;
    s.NUMBER = unicod % 100;
    s.CODSTR = std::move(code);
    s.NAME = std::move(name);
    s.CODMKB = std::move(mkb);
    s.POL = std::move(pol);
    return s;
}

data::Grafa column(int cod, std::string name, int kind = 0) {
    data::Grafa g;
    g.CODFORM = 12;
    g.CODTABL = 1000;
    g.COD = cod;
    g.NAME = std::move(name);
    g.TYPEGR = kind;
    return g;
}

TableExportInput::GridRow gridRow(int unicod, std::initializer_list<double> values) {
    TableExportInput::GridRow g;
    g.unicod = unicod;
    int i = 0;
    for (double v : values) g.values[i++] = d(v);
    return g;
}

// Form 12, table 1000: row name, row code and diagnosis codes, then three
// value columns.
TableExportInput input() {
    TableExportInput in;
    in.form = 12;
    in.table.CODFORM = 12;
    in.table.CODTABL = 1000;
    in.table.NAME = "Состав больных   ";
    in.table.SM = 3;
    in.table.A = 3;
    in.heading = "Тарвинский р-н  ЦРБ        ";
    in.columns = {column(1, "Наименование  ", 1), column(2, "N строки", 2), column(3, "Код МКБ", 3),
                  column(4, "Всего"), column(5, "Дети"), column(6, "Средний срок")};
    in.rows = {row(101, "1", "Всего  "), row(102, "2", "Болезни крови", "D50-D89"), row(103, "02", "Анемии", "D50")};
    in.grid = {gridRow(101, {12.5, 3, 0.123}), gridRow(102, {0, 2, 0}), gridRow(103, {7, 0, 1.5})};
    return in;
}

fs::path exportToBook(fixture::ExportWorkdir& w, const TableExportInput& in) {
    fs::path copy;
    platform::Status st = exportTable(w.server(), w.ui(), w.installation(), w.directFolder(), in, &copy);
    EXPECT_TRUE(st) << st.message();
    return copy;
}

TEST(TableExport, GenericTemplateLayout) {
    fixture::ExportWorkdir w;
    w.templateWorkbook("swod.xlsx", "Сводная таблица");
    fs::path copy = exportToBook(w, input());
    EXPECT_EQ(copy, w.directFolder() / "1.xlsx");
    EXPECT_EQ(w.ui().messages(), (std::vector<std::string>{"Выгрузка в Excel завершена"}));
    EXPECT_EQ(w.opener().opened(), (std::vector<fs::path>{copy}));
    for (const auto& e : w.ui().events()) EXPECT_NE(e.kind, platform::ScriptedInteraction::Event::Progress);

    platform::XlsxWorkbook b = fixture::ExportWorkdir::read(copy);
    EXPECT_EQ(b.value(1, 1).text, "Сводная таблица");
    EXPECT_EQ(b.value(2, 1).text, "Ф12 Т1000 Состав больных");
    EXPECT_EQ(b.value(3, 1).text, "Тарвинский р-н  ЦРБ");
    EXPECT_EQ(b.value(9, 1).text, "Наименование");
    EXPECT_EQ(b.value(9, 6).text, "Средний срок");
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(b.value(10, c).kind, CellKind::Number);
        EXPECT_EQ(b.value(10, c).number, c);
    }
    EXPECT_EQ(b.value(11, 1).text, "Всего");
    EXPECT_EQ(b.value(11, 2).number, 1);
    EXPECT_EQ(b.value(11, 3).kind, CellKind::Empty);
    EXPECT_EQ(b.value(12, 3).text, "D50-D89");
    EXPECT_EQ(b.value(13, 2).text, "02");  // a code keeps its leading zero
    EXPECT_EQ(b.value(11, 4).number, 12.5);
    EXPECT_EQ(b.value(11, 5).number, 3);
    EXPECT_EQ(b.value(11, 6).number, 0.123);
    EXPECT_EQ(b.value(13, 6).number, 1.5);
    // Zeros stay empty.
    EXPECT_EQ(b.value(12, 4).kind, CellKind::Empty);
    EXPECT_EQ(b.value(12, 6).kind, CellKind::Empty);
    EXPECT_EQ(b.value(13, 5).kind, CellKind::Empty);
    EXPECT_EQ(b.value(14, 1).kind, CellKind::Empty);
    // No border grid.
    EXPECT_FALSE(b.format(11, 1).thinTop);
    EXPECT_FALSE(b.format(13, 6).thinBottom);

    // An export right after keeps this copy, which may still be opening in
    // the spreadsheet program, and takes the next number; once the copies
    // are old, the next export deletes them.
    const fs::path second = exportToBook(w, input());
    EXPECT_EQ(second, w.directFolder() / "2.xlsx");
    EXPECT_TRUE(fs::exists(copy));
    for (const fs::path& p : {copy, second}) {
        fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    }
    EXPECT_EQ(exportToBook(w, input()), w.directFolder() / "3.xlsx");
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(second));
}

TEST(TableExport, TableTemplateGetsNoColumnHeadings) {
    fixture::ExportWorkdir w;
    w.templateWorkbook("f12t1000.xlsx", "Таблица 1000 формы 12");
    TableExportInput in = input();
    in.table.NAMEL = "F12T1000.XLS    длинный хвост";
    EXPECT_EQ(tableTemplateName(in.table), "F12T1000.XLS");
    fs::path copy = exportToBook(w, in);
    platform::XlsxWorkbook b = fixture::ExportWorkdir::read(copy);
    EXPECT_EQ(b.value(1, 1).text, "Таблица 1000 формы 12");
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(b.value(9, c).kind, CellKind::Empty) << c;
        EXPECT_EQ(b.value(10, c).kind, CellKind::Empty) << c;
    }
    EXPECT_EQ(b.value(2, 1).text, "Ф12 Т1000 Состав больных");
    EXPECT_EQ(b.value(11, 4).number, 12.5);

    in.table.NAMEL = "  ";
    EXPECT_EQ(tableTemplateName(in.table), "swod.xls");
}

// Grid rows out of the reference order: reference rows that are not the
// next grid row are skipped with their descriptive cells; values are
// written for every grid row by its position.
TEST(TableExport, SkipRuleForRowsOutOfReferenceOrder) {
    fixture::ExportWorkdir w;
    w.templateWorkbook("swod.xlsx");
    TableExportInput in = input();
    in.rows.push_back(row(104, "4", "Прочие"));
    in.grid = {gridRow(101, {1}), gridRow(103, {3}), gridRow(102, {2}), gridRow(104, {4})};
    platform::XlsxWorkbook b = fixture::ExportWorkdir::read(exportToBook(w, in));
    // 101 matches grid row 1; 102 is not grid row 2 (103): skipped; 103 is;
    // 104 is not grid row 3 (102): skipped, and the walk has no grid row left
    // for it to match.
    EXPECT_EQ(b.value(11, 1).text, "Всего");
    EXPECT_EQ(b.value(12, 1).text, "Анемии");
    EXPECT_EQ(b.value(13, 1).kind, CellKind::Empty);
    EXPECT_EQ(b.value(14, 1).kind, CellKind::Empty);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b.value(11 + i, 4).number, in.grid[i].values[0].toDouble()) << i;
}

TEST(TableExport, MissingTemplateIsReported) {
    fixture::ExportWorkdir w;
    fs::path copy;
    EXPECT_FALSE(exportTable(w.server(), w.ui(), w.installation(), w.directFolder(), input(), &copy));
    ASSERT_EQ(w.ui().messages().size(), 1u);
    EXPECT_NE(w.ui().messages()[0].find((w.workdir() / "XLS" / "swod.xlsx").string()), std::string::npos);
    EXPECT_TRUE(copy.empty());
    EXPECT_TRUE(w.opener().opened().empty());
}

// The work copy opens in a real spreadsheet program: LibreOffice converts it
// to CSV (text cells quoted) and the poked cells are there, numbers as numbers.
TEST(TableExport, WorkCopyOpensInLibreOffice) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    fixture::ExportWorkdir w;
    w.templateWorkbook("swod.xlsx", "Сводная таблица");
    fs::path copy = exportToBook(w, input());
    fs::path out = w.directFolder() / "csv";
    std::string cmd = "cd '" + w.directFolder().string() + "' && HOME='" + out.string() + "' soffice -env:UserInstallation=file://" +
                      (out / "profile").string() +
                      " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true' --outdir '" +
                      out.string() + "' '" + copy.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(out / "1.csv");
    ASSERT_TRUE(in) << "no CSV written";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 13u);
    EXPECT_EQ(lines[0].rfind("\"Сводная таблица\",", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("\"Ф12 Т1000 Состав больных\",", 0), 0u) << lines[1];
    EXPECT_EQ(lines[9], "1,2,3,4,5,6");
    EXPECT_EQ(lines[10], "\"Всего\",1,,12.5,3,0.123");
    EXPECT_EQ(lines[11], "\"Болезни крови\",2,\"D50-D89\",,2,");
    EXPECT_EQ(lines[12], "\"Анемии\",\"02\",\"D50\",7,,1.5");
}

}  // namespace
