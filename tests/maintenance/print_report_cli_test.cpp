// tavir-cli print-report and export-table on the demo installation, run as
// the real binary; the PDF read back with pdftotext.

#include "../demo/demo_fixture.h"
#include "../support/cli_runner.h"
#include "maintenance/blank_forms.h"
#include "platform/xlsx_workbook.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

using tavir::testing::CliResult;
namespace fs = std::filesystem;

CliResult cli(std::vector<std::string> args) {
    const auto& demo = tavir::demo::test::builtDemo();
    args.insert(args.begin(), {"--workdir", demo.dir.string(), "--year", "2026"});
    return tavir::testing::runCli(args, demo.root);
}

std::string pdfText(const fs::path& pdf) {
    const fs::path txt = pdf.string() + ".txt";
    const std::string cmd = "pdftotext -enc UTF-8 " + tavir::testing::shellQuote(pdf.string()) + " " +
                            tavir::testing::shellQuote(txt.string()) + " 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return {};
    return tavir::testing::readFile(txt);
}

// Facility 101 reports form 5 (half-yearly) for period 1; its first row
// "Против дифтерии" holds values the demo generates, so they are read from
// the value file's dump rather than assumed.
TEST(PrintReportCli, StoredReportToPdf) {
    const auto& demo = tavir::demo::test::builtDemo();
    ASSERT_TRUE(demo.status) << demo.status.message();
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    const CliResult dump = cli({"dump", "2026/F0005.dat"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    // The first record of facility 101, period 1, row 1: its DATA1.
    std::string first;
    {
        std::istringstream lines(dump.out);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream cells(line);
            std::vector<std::string> c;
            for (std::string cell; std::getline(cells, cell, '\t');) c.push_back(cell);
            if (c.size() > 6 && c[1] == "101" && c[3] == "1" && c[5] == "1") {
                first = c[6];
                break;
            }
        }
    }
    ASSERT_FALSE(first.empty()) << "no stored row 1 of facility 101 in the demo";

    const fs::path pdf = demo.root / "f5.pdf";
    const CliResult r =
        cli({"print-report", "--form", "5", "--facility", "101", "--period", "1", "--pdf", pdf.string()});
    if (r.status != 0 && r.err.find("PDF не собран") != std::string::npos) GTEST_SKIP() << r.err;
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = pdfText(pdf);
    for (const std::string& expected :
         {std::string("Ф5 Сведения о профилактических прививках."), std::string("Т 1000 Таблица 1000"),
          std::string("Наименование"), std::string("Против дифтерии"), std::string("Лист 1"), first})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

// Refused before any PDF is drawn, so in a build without Qt as well.
TEST(PrintReportCli, UnknownTableAndMissingPdfAreRefused) {
    const auto& demo = tavir::demo::test::builtDemo();
    ASSERT_TRUE(demo.status) << demo.status.message();
    const fs::path pdf = demo.root / "f5-9999.pdf";
    CliResult r = cli({"print-report", "--form", "5", "--facility", "101", "--period", "1", "--table", "9999",
                       "--pdf", pdf.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("нет таблицы 9999"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(pdf));
    r = cli({"print-report", "--form", "5", "--facility", "101", "--period", "1"});
    EXPECT_EQ(r.status, 2);
}

TEST(PrintReportCli, ExportTablePrintsTheWorkCopy) {
    const auto& demo = tavir::demo::test::builtDemo();
    ASSERT_TRUE(demo.status) << demo.status.message();
    const CliResult r = cli({"export-table", "--form", "5", "--facility", "101", "--period", "1", "--table", "1000"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string path = r.out;
    while (!path.empty() && path.back() == '\n') path.pop_back();
    EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(fs::path(path).extension(), ".xlsx");
    EXPECT_NE(r.err.find("Выгрузка в Excel завершена"), std::string::npos) << r.err;
}

// The demo's blank forms: one workbook per form listed in doc/blanki.txt,
// each opening through the document opener.
TEST(DemoOfficeFiles, BlankFormsAndTemplates) {
    const auto& demo = tavir::demo::test::builtDemo();
    ASSERT_TRUE(demo.status) << demo.status.message();
    const auto entries = tavir::maintenance::readBlankList(demo.dir / "doc" / "blanki.txt");
    ASSERT_FALSE(entries.empty());
    tavir::platform::XlsxWorkbook book;
    for (const auto& e : entries) {
        EXPECT_EQ(e.COD, tavir::analysis::DocumentKind::Spreadsheet) << e.PATH;
        ASSERT_TRUE(tavir::platform::XlsxWorkbook::load(demo.dir / "doc" / e.PATH, book)) << e.PATH;
        EXPECT_EQ(book.value(1, 1).text.rfind("Ф", 0), 0u) << e.PATH;
    }
    ASSERT_TRUE(tavir::platform::XlsxWorkbook::load(demo.dir / "doc" / "f5.xlsx", book));
    EXPECT_EQ(book.value(5, 1).text, "Т 1000 Таблица 1000. Профилактические прививки");
    EXPECT_EQ(book.value(8, 1).text, "Против дифтерии");
    for (const char* name : {"RAS.xlsx", "RAS1.xlsx", "rang.xlsx", "swod.xlsx", "f5t1000.xlsx"})
        EXPECT_TRUE(fs::exists(demo.dir / "XLS" / name)) << name;
    ASSERT_TRUE(tavir::platform::XlsxWorkbook::load(demo.dir / "XLS" / "f5t1000.xlsx", book));
    EXPECT_EQ(book.value(9, 1).text, "Наименование");
    EXPECT_EQ(book.value(10, 3).number, 3);
}

}  // namespace
