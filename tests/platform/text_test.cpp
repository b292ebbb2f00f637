#include "platform/text.h"

#include <gtest/gtest.h>

using namespace tavir::platform;

namespace {

TEST(Text, EqualsIgnoreAsciiCase) {
    EXPECT_TRUE(equalsIgnoreAsciiCase("OTC:DATA1", "otc:data1"));
    EXPECT_TRUE(equalsIgnoreAsciiCase("", ""));
    EXPECT_FALSE(equalsIgnoreAsciiCase("otchet", "otchet2"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("Отчет", "отчет"));  // only ASCII letters fold
    EXPECT_FALSE(equalsIgnoreAsciiCase("[", "{"));
}

TEST(Text, WidthsCountCharacters) {
    EXPECT_EQ(charCount("Привет, мир"), 11u);
    EXPECT_EQ(charCount(""), 0u);
    EXPECT_EQ(cutToWidth("Привет мир", 6), "Привет");
    EXPECT_EQ(cutToWidth("ab", 5), "ab");
    EXPECT_EQ(cutToWidth("Ёж", 0), "");
    EXPECT_EQ(trimRight("ab  "), "ab");
    EXPECT_EQ(trimRight("  ab"), "  ab");
    EXPECT_EQ(trimRight("   "), "");
    EXPECT_EQ(fitToWidth("Иван  Петров  ", 5), "Иван");
    EXPECT_EQ(fitToWidth("Ёж   ", 10), "Ёж");
}

TEST(Text, Padding) {
    EXPECT_EQ(padRight("Ёж", 4), "Ёж  ");
    EXPECT_EQ(padLeft("Ёж", 4), "  Ёж");
    EXPECT_EQ(padRight("длинный", 3), "длинный");
    EXPECT_EQ(padLeft("длинный", 3), "длинный");
    EXPECT_EQ(padLeft("", 2), "  ");
}

TEST(Text, FlipFirstCyrillicCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"Иванов", "иванов"}, {"иванов", "Иванов"}, {"Ёлка", "ёлка"}, {"ёлка", "Ёлка"},
        {"Апрель", "апрель"}, {"яма", "Яма"},      {"Ясли", "ясли"},   {"Їжак", "їжак"},
        {"ґ", "Ґ"},           {"Ivanov", "Ivanov"}, {"", ""},          {"1Иван", "1Иван"},
        {"№5", "№5"},          {"\xD0", "\xD0"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(flipFirstCyrillicCase(in), out) << in;
}

TEST(Text, IsValidUtf8) {
    EXPECT_TRUE(isValidUtf8("Привет"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(isValidUtf8("\xE2\x82\xAC"));      // €
    EXPECT_FALSE(isValidUtf8("\xCF\xF0\xE8"));     // "При" in Windows-1251
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("ab\xD0"));           // cut short
    EXPECT_FALSE(isValidUtf8("\x80"));
}

TEST(Text, CodePoints) {
    std::string_view text = "Ж€\xFF" "a";
    size_t pos = 0;
    EXPECT_EQ(nextCodePoint(text, pos), U'Ж');
    EXPECT_EQ(nextCodePoint(text, pos), U'€');
    EXPECT_EQ(nextCodePoint(text, pos), std::nullopt);
    EXPECT_EQ(nextCodePoint(text, pos), U'a');
    EXPECT_EQ(pos, text.size());
    std::string out;
    for (char32_t cp : {U'a', U'Ж', U'€', U'\U0001F600'}) appendUtf8(out, cp);
    EXPECT_EQ(out, "aЖ€\xF0\x9F\x98\x80");
}

}  // namespace
