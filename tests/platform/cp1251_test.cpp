#include "platform/cp1251.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace tavir::platform;
namespace fs = std::filesystem;

namespace {

std::string allBytes(int from, int to) {
    std::string s;
    for (int b = from; b < to; ++b) s += static_cast<char>(b);
    return s;
}

TEST(Cp1251, TableOfTheUpperHalf) {
    EXPECT_EQ(cp1251ToUtf8(allBytes(0x80, 0xC0)),
              "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—\u0098™љ›њќћџ\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕї");
    EXPECT_EQ(cp1251ToUtf8(allBytes(0xC0, 0x100)), "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя");
    EXPECT_EQ(cp1251ToUtf8("abc 123"), "abc 123");
}

TEST(Cp1251, EveryByteComesBack) {
    std::string bytes = allBytes(0, 0x100);
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(bytes)), bytes);
}

TEST(Cp1251, CharactersOutsideTheCodePage) {
    EXPECT_EQ(utf8ToCp1251("Ёж €5"), "\xA8\xE6 \x88" "5");
    EXPECT_EQ(utf8ToCp1251("日本"), std::nullopt);
    EXPECT_EQ(utf8ToCp1251("a\xFF"), std::nullopt);
    EXPECT_EQ(utf8ToCp1251Lossy("Я日本a"), "\xDF??a");
    EXPECT_EQ(utf8ToCp1251Lossy("a\xFF" "b"), "a?b");
}

TEST(Cp1251, DecodeTextFile) {
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBFПривет"), "Привет");
    EXPECT_EQ(decodeTextFile("Привет"), "Привет");
    EXPECT_EQ(decodeTextFile("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(decodeTextFile("plain"), "plain");
    EXPECT_EQ(decodeTextFile(""), "");
}

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tavir_cp1251_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string read(const fs::path& p) {
        std::ostringstream s;
        s << std::ifstream(p, std::ios::binary).rdbuf();
        return s.str();
    }

    fs::path dir_;
};

TEST_F(TextFiles, ReadsWindows1251WithCrLf) {
    std::vector<std::string> lines{"old"};
    ASSERT_TRUE(readTextLines(write("sroki.txt", "\xD4\xEE\xF0\xEC\xE0 1\r\n\r\n2023\r\n"), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"Форма 1", "", "2023"}));
}

TEST_F(TextFiles, ReadsUtf8WithoutFinalNewline) {
    std::vector<std::string> lines;
    ASSERT_TRUE(readTextLines(write("help.TXT", "\xEF\xBB\xBFРаздел 1\nРаздел 2"), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"Раздел 1", "Раздел 2"}));
}

TEST_F(TextFiles, EmptyFileHasNoLines) {
    std::vector<std::string> lines{"old"};
    ASSERT_TRUE(readTextLines(write("empty.txt", ""), lines));
    EXPECT_TRUE(lines.empty());
}

TEST_F(TextFiles, MissingFileNamesPathAndCause) {
    std::vector<std::string> lines{"old"};
    fs::path missing = dir_ / "нет.txt";
    Status st = readTextLines(missing, lines);
    EXPECT_EQ(st.kind(), ErrorKind::NotFound);
    EXPECT_NE(st.message().find(missing.string()), std::string::npos) << st.message();
    EXPECT_NE(st.message().find(std::generic_category().message(ENOENT)), std::string::npos) << st.message();
    EXPECT_TRUE(lines.empty());
}

TEST_F(TextFiles, WritesWindows1251AndReadsItBack) {
    fs::path p = dir_ / "blanki.txt";
    std::vector<std::string> lines{"Бланк №1", "", "ёлка"};
    ASSERT_TRUE(writeTextLinesCp1251(p, lines));
    EXPECT_EQ(read(p), "\xC1\xEB\xE0\xED\xEA \xB9" "1\r\n\r\n\xB8\xEB\xEA\xE0\r\n");
    std::vector<std::string> back;
    ASSERT_TRUE(readTextLines(p, back));
    EXPECT_EQ(back, lines);
}

TEST_F(TextFiles, UnmappableLineFailsBeforeTheFileIsTouched) {
    fs::path p = write("index.html", "keep");
    Status st = writeTextLinesCp1251(p, {"ok", "日本"});
    EXPECT_EQ(st.kind(), ErrorKind::Invalid);
    EXPECT_NE(st.message().find("Строка 2"), std::string::npos) << st.message();
    EXPECT_EQ(read(p), "keep");
}

TEST_F(TextFiles, UnwritablePathIsAnIoError) {
    Status st = writeTextLinesCp1251(dir_ / "no_such_dir" / "a.txt", {"a"});
    EXPECT_EQ(st.kind(), ErrorKind::Io);
    EXPECT_NE(st.message().find("no_such_dir"), std::string::npos) << st.message();
}

}  // namespace
