#include "data/paths.h"

#include "data/dictionary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace tavir::data;
namespace fs = std::filesystem;

namespace {

// A fresh working directory under the system temporary directory, removed
// with the fixture.
class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tavir-paths-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const fs::path& relative, const std::string& bytes) {
        fs::create_directories((dir_ / relative).parent_path());
        std::ofstream(dir_ / relative, std::ios::binary) << bytes;
    }

    fs::path dir_;
};

}  // namespace

TEST_F(PathsTest, ValueFileNamesUseFourDigitFormCodes) {
    Installation inst(dir_);
    EXPECT_EQ(inst.valueFile(2014, 7), dir_ / "2014" / "F0007.dat");
    EXPECT_EQ(inst.valueFile(2014, 342), dir_ / "2014" / "F0342.dat");
    EXPECT_EQ(inst.valueFile(2014, 12), dir_ / "2014" / "F0012.dat");
    EXPECT_EQ(valueFileName(7), "F0007.dat");
    EXPECT_EQ(yearDirName(2014), "2014");
}

TEST_F(PathsTest, FindsFilesIgnoringCase) {
    write("2014/forma.DAT", "x");
    write("boln.DAT", "x");
    write("Doc/Бланк Ф12.doc", "x");
    Installation inst(dir_);
    EXPECT_EQ(inst.formaFile(2014), dir_ / "2014" / "forma.DAT");
    EXPECT_EQ(inst.bolnFile(), dir_ / "boln.DAT");
    // Windows separators, and Russian letters in another case.
    EXPECT_EQ(inst.resolve("DOC\\бЛАНК ф12.DOC"), dir_ / "Doc" / "Бланк Ф12.doc");
    EXPECT_EQ(findCaseInsensitive(dir_, "\\2014\\\\FORMA.dat"), dir_ / "2014" / "forma.DAT");
}

TEST_F(PathsTest, MissingComponentsAreKeptAsGiven) {
    write("2014/forma.DAT", "x");
    Installation inst(dir_);
    EXPECT_EQ(inst.tablFile(2014), dir_ / "2014" / "Tabl.dat");
    EXPECT_EQ(inst.valueFile(2015, 7), dir_ / "2015" / "F0007.dat");
    // Once a folder is missing nothing below it is looked up.
    EXPECT_EQ(inst.resolve("xls\\Sub\\forma.dat"), dir_ / "xls" / "Sub" / "forma.dat");
    // A file cannot hold further components.
    EXPECT_EQ(inst.resolve("2014/FORMA.dat/x"), dir_ / "2014" / "forma.DAT" / "x");
}

TEST_F(PathsTest, ExactNamePreferredOverCaseVariants) {
    write("2014/FORMA.dat", "a");
    write("2014/Forma.dat", "b");
    write("2014/forma.dat", "c");
    EXPECT_EQ(findCaseInsensitive(dir_, "2014/Forma.dat"), dir_ / "2014" / "Forma.dat");
    EXPECT_EQ(findCaseInsensitive(dir_, "2014/forma.dat"), dir_ / "2014" / "forma.dat");
    // No exact match: the same variant every time, whatever the listing order.
    EXPECT_EQ(findCaseInsensitive(dir_, "2014/forma.DAT"), dir_ / "2014" / "FORMA.dat");
}

TEST(FileLabels, FromFileNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"Forma.dat", "forma"},       {"FORMA.DAT", "forma"},     {"2014\\Stroka.dat", "stroka"},
        {"2014/contrgr.dat", "ContrGr"}, {"ContrMF.dat", "ContrMF"}, {"Sapki.tps", "Sapki"},
        {"F0012.dat", "otchet"},      {"f0342.DAT", "otchet"},    {"F12345.dat", "otchet"},
        {"BOLN.dat", "bolnbol"},      {"region1.dat", "region1"}, {"NAMEPROG.tps", "NameProg"},
        {"Pokas.dat", "Pokas"},       {"TablP.dat", "TablP"},     {"SapkiP.tps", "SapkiP"},
        {"F12.dat", ""},              {"F0012.tps", ""},          {"F00a2.dat", ""},
        {"sroki.txt", ""},            {"Forma.dat.bak", ""},      {"", ""},
    };
    for (auto [name, expected] : cases) {
        EXPECT_EQ(labelForFileName(name), expected) << name;
        if (*expected) EXPECT_NE(findFile(labelForFileName(name)), nullptr) << name;
    }
}

TEST_F(PathsTest, MissingDeadlineFileGivesNoTexts) {
    EXPECT_TRUE(readDeadlines(Installation(dir_).deadlineFile(2014)).empty());
}

TEST_F(PathsTest, ReadsWindows1251Deadlines) {
    // "   7Срок до 5 числа   ", "0342 ежемесячно", a line without a form code, a blank line.
    write("2014/SROKI.TXT",
          "   7\xD1\xF0\xEE\xEA \xE4\xEE 5 \xF7\xE8\xF1\xEB\xE0   \r\n"
          "0342 \xE5\xE6\xE5\xEC\xE5\xF1\xFF\xF7\xED\xEE\r\n"
          "abcd\xD1\xF0\xEE\xEA\r\n"
          "\r\n");
    std::map<int, std::string> deadlines = readDeadlines(Installation(dir_).deadlineFile(2014));
    EXPECT_EQ(deadlines, (std::map<int, std::string>{{7, "Срок до 5 числа"}, {342, " ежемесячно"}}));
}

TEST_F(PathsTest, DeadlineTextEndsAtCharacter100) {
    std::string russian;
    for (int i = 0; i < 120; ++i) russian += "ж";
    write("2014/sroki.txt", "  12" + russian + "\n");
    std::map<int, std::string> deadlines = readDeadlines(dir_ / "2014" / "sroki.txt");
    ASSERT_EQ(deadlines.count(12), 1u);
    EXPECT_EQ(deadlines[12], russian.substr(0, 96 * 2));
}
