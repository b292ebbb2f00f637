#include "analysis/spreadsheet_export.h"

#include "workdir_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>

using namespace tavir;
using namespace tavir::analysis;
using platform::CellKind;
using platform::ScriptedInteraction;
namespace fs = std::filesystem;

namespace {

void touch(const fs::path& path, const std::string& content = "x") {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A work copy saved by an export some minutes ago, long since shown.
void touchOld(const fs::path& path) {
    touch(path);
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(5));
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(WorkCopyNumber, ListDeleteListAgainLastPlusOne) {
    fixture::ExportWorkdir w;
    fs::path folder = w.workdir() / "temp1";
    fs::create_directories(folder);
    EXPECT_EQ(nextWorkCopyNumber(folder, 15), "1");
    EXPECT_EQ(nextWorkCopyNumber(folder / "нет", 15), "1");

    touchOld(folder / "1.xlsx");
    touchOld(folder / "2.XLSX");
    touch(folder / "notes.txt");
    EXPECT_EQ(nextWorkCopyNumber(folder, 15), "3");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"notes.txt"}));

    // Copies held open stay and count: numbers, not names, give the order,
    // so the next copy does not collide with 10.xlsx. A copy saved a moment
    // ago stays too: the spreadsheet program may not have opened it yet.
    touchOld(folder / "2.xlsx");
    touchOld(folder / "9.xlsx");
    touchOld(folder / "10.xlsx");
    touch(folder / "7.xlsx");
    touch(folder / ".~lock.10.xlsx#");
    touch(folder / ".~lock.9.xlsx#");
    EXPECT_EQ(nextWorkCopyNumber(folder, 15), "11");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{".~lock.10.xlsx#", ".~lock.9.xlsx#", "10.xlsx", "7.xlsx",
                                                         "9.xlsx", "notes.txt"}));
    // The completeness export keeps one character.
    EXPECT_EQ(nextWorkCopyNumber(folder, 1), "1");

    fs::path other = w.workdir() / "other";
    touch(other / "копия.xlsx");
    EXPECT_EQ(nextWorkCopyNumber(other, 15), "1");
}

TEST(OpenTemplate, WorkCopyFilledFramedAndShown) {
    fixture::ExportWorkdir w;
    w.templateWorkbook("RAS.xlsx", "Полнота сдачи отчетов");
    touch(workCopyFolder(w.installation()) / "4.xlsx");
    WorkCopy copy;
    ASSERT_TRUE(openTemplate(w.server(), w.ui(), w.installation(), "RAS.XLS     ", kWorkCopyNumberWidth, copy));
    EXPECT_EQ(copy.number, "5");
    EXPECT_EQ(copy.path, workCopyFolder(w.installation()) / "5.xlsx");
    ASSERT_TRUE(w.server().poke(copy.channel, "R8C1", "1"));
    ASSERT_TRUE(w.server().poke(copy.channel, "R9C2", "96,5"));
    ASSERT_TRUE(frameTable(w.server(), copy, 8, 1, 9, 2));
    ASSERT_TRUE(finishExport(w.server(), w.ui(), copy, platform::Status::ok()));

    ASSERT_EQ(w.ui().events().size(), 2u);
    EXPECT_EQ(w.ui().events()[0].kind, ScriptedInteraction::Event::Progress);
    EXPECT_EQ(w.ui().events()[0].text, "ЖДЕМ...");
    EXPECT_EQ(w.ui().messages(), (std::vector<std::string>{"Выгрузка в Excel завершена"}));
    EXPECT_EQ(w.opener().opened(), (std::vector<fs::path>{copy.path}));
    EXPECT_EQ(copy.channel, 0);

    platform::XlsxWorkbook back = fixture::ExportWorkdir::read(workCopyFolder(w.installation()) / "5.xlsx");
    EXPECT_EQ(back.value(1, 1).text, "Полнота сдачи отчетов");
    EXPECT_EQ(back.value(9, 2).number, 96.5);
    EXPECT_TRUE(back.format(8, 1).thinTop);
    EXPECT_TRUE(back.format(9, 2).thinRight);
    EXPECT_FALSE(back.format(10, 1).thinTop);
}

TEST(OpenTemplate, StartsTheProgramWhenItDoesNotAnswer) {
    fixture::ExportWorkdir w;
    w.templateWorkbook("rang.xlsx");
    platform::SpreadsheetServer silent(w.opener(), false);
    WorkCopy copy;
    ASSERT_TRUE(openTemplate(silent, w.ui(), w.installation(), "rang.xls", kWorkCopyNumberWidth, copy));
    EXPECT_NE(copy.channel, 0);
    EXPECT_TRUE(w.ui().messages().empty());  // no "ЗАПУСТИТЕ Excel"
    ASSERT_TRUE(finishExport(silent, w.ui(), copy, platform::Status::ok()));
}

// Where the work copy cannot be made, the user learns which file and why,
// and is not told the export was done.
TEST(OpenTemplate, FailuresAreReportedInsteadOfSuccess) {
    struct Case {
        const char* what;
        std::function<void(fixture::ExportWorkdir&)> prepare;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"missing template", [](auto&) {}, "XLS/swod.xlsx"},
        {"temp1 not a folder",
         [](auto& w) {
             w.templateWorkbook("swod.xlsx");
             touch(w.workdir() / "temp1");
         },
         "temp1"},
        {"work copy not writable",
         [](auto& w) {
             w.templateWorkbook("swod.xlsx");
             fs::create_directories(workCopyFolder(w.installation()) / "1.xlsx");
         },
         (fs::path("temp1") / workCopyFolder(data::Installation(".")).filename() / "1.xlsx").string()},
    };
    for (const auto& c : cases) {
        fixture::ExportWorkdir w;
        c.prepare(w);
        WorkCopy copy;
        platform::Status st = openTemplate(w.server(), w.ui(), w.installation(), "swod.xls", 15, copy);
        EXPECT_FALSE(st) << c.what;
        EXPECT_EQ(copy.channel, 0) << c.what;
        finishExport(w.server(), w.ui(), copy, st);
        ASSERT_EQ(w.ui().messages().size(), 1u) << c.what;
        const std::string text = w.ui().messages()[0];
        EXPECT_EQ(text.rfind("Выгрузка в Excel не выполнена|", 0), 0u) << text;
        EXPECT_NE(text.find((w.workdir() / c.named).string()), std::string::npos) << text;
        EXPECT_TRUE(w.opener().opened().empty()) << c.what;
    }
}

// A work copy saved that the desktop cannot show is no failed export.
TEST(OpenTemplate, SavedButNotShownSaysWhere) {
    struct NoProgram : platform::DesktopOpener {
        platform::Status open(const fs::path& path) override {
            return platform::Status::fail(platform::ErrorKind::NotShown, "Файл " + path.string() + " сохранен");
        }
    } noProgram;
    fixture::ExportWorkdir w;
    w.templateWorkbook("swod.xlsx");
    platform::SpreadsheetServer server(noProgram);
    WorkCopy copy;
    ASSERT_TRUE(openTemplate(server, w.ui(), w.installation(), "swod.xls", kWorkCopyNumberWidth, copy));
    const fs::path saved = copy.path;
    EXPECT_TRUE(finishExport(server, w.ui(), copy, platform::Status::ok()));
    EXPECT_EQ(w.ui().messages(), (std::vector<std::string>{"Выгрузка в Excel завершена|Файл " + saved.string() +
                                                           " сохранен"}));
    EXPECT_TRUE(fs::exists(saved));
}

TEST(DocumentOpener, CopiesIntoTemp1AndOpensTheCopy) {
    fixture::ExportWorkdir w;
    touch(w.workdir() / "doc" / "f12.xls", "binary workbook");
    touch(w.workdir() / "doc" / "sub" / "f30.doc", "document");
    touch(workCopyFolder(w.installation()) / "f12.xls", "stale copy");

    ASSERT_TRUE(openDocument(w.server(), w.ui(), w.installation(), "f12.xls", DocumentKind::Spreadsheet));
    ASSERT_TRUE(openDocument(w.server(), w.ui(), w.installation(), "sub\\f30.doc", DocumentKind::WordProcessor));
    ASSERT_TRUE(openDocument(w.server(), w.ui(), w.installation(), "notes.txt", DocumentKind::None));
    EXPECT_EQ(w.opener().opened(),
              (std::vector<fs::path>{workCopyFolder(w.installation()) / "f12.xls",
                                     workCopyFolder(w.installation()) / "f30.doc"}));
    std::ifstream in(workCopyFolder(w.installation()) / "f12.xls");
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "binary workbook");
    EXPECT_TRUE(w.ui().messages().empty());

    EXPECT_FALSE(openDocument(w.server(), w.ui(), w.installation(), "f99.xls", DocumentKind::Spreadsheet));
    ASSERT_EQ(w.ui().messages().size(), 1u);
    EXPECT_NE(w.ui().messages()[0].find((w.workdir() / "doc" / "f99.xls").string()), std::string::npos);
    EXPECT_EQ(w.opener().opened().size(), 2u);
}

}  // namespace
