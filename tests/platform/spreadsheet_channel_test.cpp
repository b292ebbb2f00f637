#include "platform/spreadsheet_channel.h"

#include "platform/desktop_opener.h"
#include "platform/xlsx_workbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

using namespace tavir::platform;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() : dir_(fs::temp_directory_path() / ("tavir-dde-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(dir_);
    }
    ~TempDir() { fs::remove_all(dir_); }
    fs::path operator/(const std::string& name) const { return dir_ / name; }

private:
    fs::path dir_;
};

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(SpreadsheetChannel, CommandTextsByteForByte) {
    EXPECT_EQ(openCommand("/work/XLS/swod.xls"), "[OPEN.TEXT(\"/work/XLS/swod.xls\")]");
    EXPECT_EQ(saveAsCommand("/work/temp1/3.xlsx"), "[Save.As(\"/work/temp1/3.xlsx\")]");
    EXPECT_EQ(selectCommand(10, 1, 20, 7), "[SELECT(\"R10C1:R20C7\")]");
    EXPECT_EQ(borderCommand(), "[BORDER(1,1,1,1,1,0,0,0,0,0,0)]");
    EXPECT_EQ(fileOpenCommand("/work/temp1/f1.doc"), "[FileOpen (\"/work/temp1/f1.doc\")]");
    EXPECT_EQ(cellItem(10, 1), "R10C1");
    EXPECT_EQ(cellItem(1048576, 16384), "R1048576C16384");

    EXPECT_EQ(templateFileName("swod.xls"), "swod.xlsx");
    EXPECT_EQ(templateFileName("RAS1.XLS"), "RAS1.XLSx");  // found whatever the case on disk
    EXPECT_EQ(templateFileName("rang.xlsx"), "rang.xlsx");
    EXPECT_EQ(templateFileName("f12.xl"), "f12.xl");
}

// The whole conversation of an export, read back from the saved work copy.
TEST(SpreadsheetChannel, ExportConversationFillsAndShowsTheWorkCopy) {
    TempDir dir;
    XlsxWorkbook tpl = XlsxWorkbook::createNew();
    ASSERT_TRUE(tpl.setText(1, 1, "Шапка шаблона"));
    ASSERT_TRUE(tpl.save(dir / "swod.xlsx"));
    const std::string work = (dir / "1.xlsx").string();

    RecordingDesktopOpener opener;
    SpreadsheetServer server(opener);
    Channel system = server.connect("Excel", "SYSTEM");
    ASSERT_NE(system, 0);
    ASSERT_TRUE(server.execute(system, openCommand((dir / "swod.xlsx").string())));
    ASSERT_TRUE(server.execute(system, saveAsCommand(work)));
    ASSERT_TRUE(server.close(system));
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(fs::exists(work));

    Channel cells = server.connect("Excel", work);
    ASSERT_NE(cells, 0);
    struct Case {
        int column;
        std::string poked;
        CellKind kind;
        double number;
    };
    const Case cases[] = {
        {1, "12,5", CellKind::Number, 12.5}, {2, "0,123", CellKind::Number, 0.123},
        {3, "7", CellKind::Number, 7},       {4, "-3,25", CellKind::Number, -3.25},
        {5, "0", CellKind::Number, 0},       {6, "12.5", CellKind::Text, 0},
        {7, "01", CellKind::Text, 0},        {8, "1,", CellKind::Text, 0},
        {9, " 5", CellKind::Text, 0},        {10, "Итого", CellKind::Text, 0},
        {11, "1234567890123456", CellKind::Text, 0},
    };
    for (const auto& c : cases) ASSERT_TRUE(server.poke(cells, cellItem(11, c.column), c.poked));
    ASSERT_TRUE(server.execute(cells, selectCommand(11, 1, 12, 3)));
    ASSERT_TRUE(server.execute(cells, borderCommand()));
    ASSERT_TRUE(server.close(cells));
    ASSERT_EQ(opener.opened(), (std::vector<fs::path>{work}));

    XlsxWorkbook back;
    ASSERT_TRUE(XlsxWorkbook::load(work, back));
    EXPECT_EQ(back.value(1, 1).text, "Шапка шаблона");
    for (const auto& c : cases) {
        CellValue v = back.value(11, c.column);
        EXPECT_EQ(v.kind, c.kind) << c.poked;
        if (c.kind == CellKind::Number) {
            EXPECT_EQ(v.number, c.number) << c.poked;
        } else {
            EXPECT_EQ(v.text, c.poked);
        }
    }
    EXPECT_TRUE(back.format(12, 3).thinBottom);
    EXPECT_FALSE(back.format(12, 4).thinBottom);
    // The template itself is never written.
    XlsxWorkbook again;
    ASSERT_TRUE(XlsxWorkbook::load(dir / "swod.xlsx", again));
    EXPECT_EQ(again.value(11, 1).kind, CellKind::Empty);
    // The closed work copy is no longer a topic.
    EXPECT_EQ(server.connect("Excel", work), 0);
}

TEST(SpreadsheetChannel, RefusesWhatTheProgramWouldNotTake) {
    TempDir dir;
    ASSERT_TRUE(XlsxWorkbook::createNew().save(dir / "t.xlsx"));
    RecordingDesktopOpener opener;
    SpreadsheetServer server(opener);
    EXPECT_EQ(server.connect("Lotus", "SYSTEM"), 0);
    EXPECT_EQ(server.connect("Excel", (dir / "t.xlsx").string()), 0);  // not open
    EXPECT_FALSE(server.execute(0, borderCommand()));
    EXPECT_FALSE(server.poke(0, "R1C1", "1"));
    EXPECT_FALSE(server.close(0));

    Channel system = server.connect("excel", "system");
    ASSERT_NE(system, 0);
    Status missing = server.execute(system, openCommand((dir / "swod.xlsx").string()));
    EXPECT_EQ(missing.kind(), ErrorKind::NotFound);
    EXPECT_NE(missing.message().find((dir / "swod.xlsx").string()), std::string::npos);
    EXPECT_FALSE(server.execute(system, saveAsCommand((dir / "1.xlsx").string())));  // nothing open
    for (std::string_view bad : {"[BORDER(1,1,1,1,1,0,0,0,0,0)]", "[SELECT(\"R1C1\")]", "[SELECT(\"R0C1:R2C2\")]",
                                 "[OPEN.TEXT(\"\")]", "[Open.Text(\"/x\")]", "[Save.As('/x')]",
                                 "[FileOpen (\"/x\")]"})
        EXPECT_EQ(server.execute(system, bad).kind(), ErrorKind::Invalid) << bad;
    ASSERT_TRUE(server.execute(system, openCommand((dir / "t.xlsx").string())));
    ASSERT_TRUE(server.execute(system, saveAsCommand((dir / "1.xlsx").string())));
    EXPECT_FALSE(server.poke(system, "R1C1", "1"));  // cells go through the work copy's topic
    ASSERT_TRUE(server.close(system));

    Channel cells = server.connect("Excel", (dir / "1.xlsx").string());
    for (std::string_view item : {"R0C1", "R1C0", "R01C1", "C1R1", "R1", "r1c1", "R1048577C1", "R1C16385"})
        EXPECT_EQ(server.poke(cells, item, "1").kind(), ErrorKind::Invalid) << item;
    ASSERT_TRUE(server.close(cells));
}

TEST(SpreadsheetChannel, ProgramAnswersOnceStarted) {
    RecordingDesktopOpener opener;
    SpreadsheetServer server(opener, false);
    EXPECT_EQ(server.connect("Excel", "SYSTEM"), 0);
    EXPECT_FALSE(server.startProgram(R"(C:\WINDOWS\notepad.exe)"));
    EXPECT_EQ(server.connect("Excel", "SYSTEM"), 0);
    ASSERT_TRUE(server.startProgram(R"(C:\PROGRA~1\Microsoft Office\Office11\excel.exe)"));
    EXPECT_NE(server.connect("Excel", "SYSTEM"), 0);
    EXPECT_EQ(server.connect("WinWord", "SYSTEM"), 0);
    ASSERT_TRUE(server.startProgram(R"(C:\Program Files\Microsoft Office\OFFICE11\WinWord.exe)"));
    EXPECT_NE(server.connect("WinWord", "SYSTEM"), 0);
}

// A document only opened is there for the user: it is handed over as it is
// when its SYSTEM conversation ends, whatever its format.
TEST(SpreadsheetChannel, OpenedDocumentsAreShownUntouched) {
    TempDir dir;
    const std::string binary("\xD0\xCF\x11\xE0 old binary workbook", 25);
    std::ofstream(dir / "f12.xls", std::ios::binary) << binary;
    std::ofstream(dir / "f30.doc", std::ios::binary) << "text document";

    RecordingDesktopOpener opener;
    SpreadsheetServer server(opener);
    Channel excel = server.connect("Excel", "SYSTEM");
    ASSERT_TRUE(server.execute(excel, openCommand((dir / "f12.xls").string())));
    EXPECT_TRUE(opener.opened().empty());
    ASSERT_TRUE(server.close(excel));
    Channel word = server.connect("WinWord", "SYSTEM");
    EXPECT_EQ(server.execute(word, openCommand((dir / "f30.doc").string())).kind(), ErrorKind::Invalid);
    ASSERT_TRUE(server.execute(word, fileOpenCommand((dir / "f30.doc").string())));
    ASSERT_TRUE(server.close(word));
    EXPECT_EQ(opener.opened(), (std::vector<fs::path>{dir / "f12.xls", dir / "f30.doc"}));
    EXPECT_EQ(bytesOf(dir / "f12.xls"), binary);

    // A template whose work copy could not be made is not shown.
    ASSERT_TRUE(XlsxWorkbook::createNew().save(dir / "t.xlsx"));
    excel = server.connect("Excel", "SYSTEM");
    ASSERT_TRUE(server.execute(excel, openCommand((dir / "t.xlsx").string())));
    EXPECT_FALSE(server.execute(excel, saveAsCommand((dir / "нет" / "1.xlsx").string())));
    ASSERT_TRUE(server.close(excel));
    EXPECT_EQ(opener.opened().size(), 2u);
    // Nor is a document the program cannot read taken for a workbook.
    excel = server.connect("Excel", "SYSTEM");
    ASSERT_TRUE(server.execute(excel, openCommand((dir / "f12.xls").string())));
    Status unreadable = server.execute(excel, saveAsCommand((dir / "2.xlsx").string()));
    EXPECT_EQ(unreadable.kind(), ErrorKind::Damaged);
    EXPECT_NE(unreadable.message().find("f12.xls"), std::string::npos);
    ASSERT_TRUE(server.close(excel));
    EXPECT_FALSE(fs::exists(dir / "2.xlsx"));
}

}  // namespace
