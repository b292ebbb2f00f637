#include "maintenance/blank_forms.h"

#include "../analysis/workdir_fixture.h"
#include "platform/cp1251.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tavir;
using namespace tavir::maintenance;
using analysis::DocumentKind;
namespace fs = std::filesystem;

namespace {

void writeList(const fixture::ExportWorkdir& w, const std::vector<std::string>& lines) {
    fs::create_directories(w.workdir() / "doc");
    ASSERT_TRUE(platform::writeTextLinesCp1251(w.workdir() / "doc" / "blanki.txt", lines));
}

std::string zhe(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "Ж";
    return s;
}

TEST(BlankForms, KindByExtension) {
    struct Case {
        const char* name;
        DocumentKind kind;
    };
    for (const auto& c : {Case{"f12.xls", DocumentKind::Spreadsheet}, Case{"F12.XLS", DocumentKind::Spreadsheet},
                          Case{"f12.xlsx", DocumentKind::Spreadsheet}, Case{"f12.ods", DocumentKind::Spreadsheet},
                          Case{"f30.doc", DocumentKind::WordProcessor}, Case{"f30.DOCX", DocumentKind::WordProcessor},
                          Case{"f30.odt", DocumentKind::WordProcessor}, Case{"f30.rtf", DocumentKind::WordProcessor},
                          Case{"notes.txt", DocumentKind::None}, Case{"blank.pdf", DocumentKind::None},
                          Case{"formxls", DocumentKind::None}, Case{"f12.xls.bak", DocumentKind::None}})
        EXPECT_EQ(blankKind(c.name), c.kind) << c.name;
}

TEST(BlankForms, ListFileReadIntoEntries) {
    fixture::ExportWorkdir w;
    std::string longTitle = zhe(160);
    writeList(w, {"f12.xls!Форма 12. Сведения о лечебном учреждении", "", "   ", "  sub\\f30.doc !  Форма 30",
                  "notes.txt!" + longTitle, "без_заголовка.odt"});
    std::vector<BlankEntry> e = readBlankList(w.workdir() / "doc" / "blanki.txt");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].PATH, "f12.xls");
    EXPECT_EQ(e[0].NAME, "Форма 12. Сведения о лечебном учреждении");
    EXPECT_EQ(e[0].COD, DocumentKind::Spreadsheet);
    EXPECT_EQ(e[1].PATH, "sub\\f30.doc");
    EXPECT_EQ(e[1].NAME, "Форма 30");
    EXPECT_EQ(e[1].COD, DocumentKind::WordProcessor);
    EXPECT_EQ(e[1].N, 2);  // blank lines are not counted
    EXPECT_EQ(e[1].UNICOD, 2);
    EXPECT_EQ(e[2].NAME, zhe(150));  // at most 150 characters of the title
    EXPECT_EQ(e[2].COD, DocumentKind::None);
    EXPECT_EQ(e[3].PATH, "без_заголовка.odt");
    EXPECT_EQ(e[3].NAME, "");
    EXPECT_EQ(e[3].N, 4);

    EXPECT_TRUE(readBlankList(w.workdir() / "doc" / "нет.txt").empty());
}

TEST(BlankForms, WindowListsAndOpensCopies) {
    fixture::ExportWorkdir w;
    writeList(w, {"f12.xls!Форма 12", "notes.txt!Заметки"});
    std::ofstream(w.workdir() / "doc" / "f12.xls") << "blank";
    std::ofstream(w.workdir() / "doc" / "notes.txt") << "notes";

    BlankFormsWindow window(w.server(), w.ui(), w.installation());
    platform::PickRequest list = window.list();
    EXPECT_EQ(list.caption, "Список");
    EXPECT_EQ(list.heading, "!! Печать чистых бланков");
    ASSERT_EQ(list.columns.size(), 2u);
    EXPECT_EQ(list.columns[0].title, "имя файла");
    EXPECT_EQ(list.columns[1].title, "Форма");
    EXPECT_EQ(list.lines, (std::vector<std::vector<std::string>>{{"f12.xls", "Форма 12"}, {"notes.txt", "Заметки"}}));

    ASSERT_TRUE(window.activate(0));
    ASSERT_TRUE(window.activate(1));  // no kind: nothing happens
    ASSERT_TRUE(window.activate(2));
    EXPECT_EQ(w.opener().opened(), (std::vector<fs::path>{analysis::workCopyFolder(w.installation()) / "f12.xls"}));
    EXPECT_TRUE(fs::exists(analysis::workCopyFolder(w.installation()) / "f12.xls"));
    EXPECT_FALSE(fs::exists(analysis::workCopyFolder(w.installation()) / "notes.txt"));
    EXPECT_TRUE(w.ui().messages().empty());

    // Without a list file the window lists nothing.
    fs::remove(w.workdir() / "doc" / "blanki.txt");
    EXPECT_TRUE(BlankFormsWindow(w.server(), w.ui(), w.installation()).entries().empty());
}

}  // namespace
