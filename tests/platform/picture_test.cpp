#include "platform/picture.h"

#include <gtest/gtest.h>

using namespace tavir::platform;

namespace {

Picture pic(std::string_view text) { return parsePicture(text); }
Decimal milli(int64_t m) { return Decimal::fromMilli(m); }

TEST(Picture, Parse) {
    struct Case {
        const char* text;
        int width;
        int decimals;
        bool negative;
        bool plain;
    };
    const Case cases[] = {
        {"@N12.2", 12, 2, false, false}, {"@N-10.3", 10, 3, true, false}, {"@N6", 6, 0, false, false},
        {"  @n8.1  ", 8, 1, false, false}, {"@N12.0", 12, 0, false, false},
        // unreadable pictures are the blank default
        {"", 12, 0, false, true}, {"@S20", 12, 0, false, true}, {"@N", 12, 0, false, true},
        {"@N12.", 12, 0, false, true}, {"@N0", 12, 0, false, true}, {"@N12.2x", 12, 0, false, true},
        {"@N-", 12, 0, false, true}, {"@N123", 12, 0, false, true}, {"N12.2", 12, 0, false, true},
    };
    for (const auto& c : cases) {
        Picture p = parsePicture(c.text);
        EXPECT_EQ(p.width, c.width) << c.text;
        EXPECT_EQ(p.decimals, c.decimals) << c.text;
        EXPECT_EQ(p.negative, c.negative) << c.text;
        EXPECT_EQ(p.plain, c.plain) << c.text;
    }
}

TEST(Picture, FormatDecimal) {
    const std::tuple<const char*, int64_t, const char*> cases[] = {
        {"@N12.2", 1234500, "     1234.50"},
        {"@N6", 12500, "    13"},
        {"@N6", -12500, "   -13"},  // the sign shows without "-" in the picture
        {"@N-10.3", -1500, "    -1.500"},
        {"@N5.2", 0, " 0.00"},
        {"@N6.2", -4, "  0.00"},
        {"@N4.2", 12500, "####"},
        {"@N5.2", 12500, "12.50"},
        {"", 12500, "        12.5"},
        {"", 0, "           0"},
        {"", -1, "      -0.001"},
        {"", 123456789125, "123456789.13"},  // the plain default gives up decimals to fit
        {"", 999999999999600, "############"},
        {"", 1234567890123000, "############"},
    };
    for (const auto& [picture, m, text] : cases) EXPECT_EQ(formatPicture(pic(picture), milli(m)), text) << picture << " " << m;
    // Where the picture would hide the number, the plain number shows.
    EXPECT_EQ(formatPictureOrPlain(pic("@N4.2"), milli(12500)), "12.5");
    EXPECT_EQ(formatPictureOrPlain(pic(""), milli(1234567890123000)), "1234567890123");
    EXPECT_EQ(formatPictureOrPlain(pic("@N5.2"), milli(12500)), "12.50");
}

TEST(Picture, FormatDouble) {
    EXPECT_EQ(formatPicture(pic("@N7.2"), 0.0004), "   0.00");
    EXPECT_EQ(formatPicture(pic("@N9.4"), 0.0004), "   0.0004");
    EXPECT_EQ(formatPicture(pic("@N12.2"), 2.675), "        2.68");
    EXPECT_EQ(formatPicture(pic(""), 1.0 / 3), "0.3333333333");
    EXPECT_EQ(formatPicture(pic(""), 100.0 / 7), "14.285714286");
    EXPECT_EQ(formatPicture(pic(""), 12.5), "        12.5");
    EXPECT_EQ(formatPicture(pic("@N8.1"), 1e30), "########");
}

TEST(Picture, ParseInput) {
    const Picture twoDecimals = pic("@N12.2");
    EXPECT_EQ(parsePictureInput(twoDecimals, " 1,255 "), milli(1260));
    EXPECT_EQ(parsePictureInput(twoDecimals, "-3.5"), milli(-3500));
    EXPECT_EQ(parsePictureInput(twoDecimals, ""), Decimal());
    EXPECT_EQ(parsePictureInput(twoDecimals, "   "), Decimal());
    EXPECT_EQ(parsePictureInput(twoDecimals, "abc"), std::nullopt);
    EXPECT_EQ(parsePictureInput(twoDecimals, "1,2,3"), std::nullopt);
    EXPECT_EQ(parsePictureInput(twoDecimals, "1e3"), std::nullopt);
    EXPECT_EQ(parsePictureInput(pic("@N6.2"), "123.45"), milli(123450));
    EXPECT_EQ(parsePictureInput(pic("@N6.2"), "1234.5"), std::nullopt);  // "1234.50" does not fit
    EXPECT_EQ(parsePictureInput(pic(""), "12.3456"), milli(12346));
    EXPECT_EQ(parsePictureInput(pic(""), "1234567890123"), std::nullopt);
    // Blanks between digits separate groups; elsewhere they still end a number.
    EXPECT_EQ(parsePictureInput(twoDecimals, "1 000"), milli(1000000));
    EXPECT_EQ(parsePictureInput(twoDecimals, " 12 345,5 "), milli(12345500));
    EXPECT_EQ(parsePictureInput(twoDecimals, "1 ,5"), std::nullopt);
    EXPECT_EQ(parsePictureInput(twoDecimals, "- 5"), std::nullopt);
}

// What an entry lets through as typed, and what it says of a refused text.
TEST(Picture, RefusedInput) {
    for (const char* partial : {"", "-", "12", "1 000", "-3,", ".5", " -1.25 "}) {
        EXPECT_TRUE(isPartialNumberInput(partial)) << partial;
    }
    for (const char* invalid : {"a", "12a", "1.2.3", "1,2,3", "5-", "--1", "1e3", "1 -2"}) {
        EXPECT_FALSE(isPartialNumberInput(invalid)) << invalid;
    }
    EXPECT_EQ(pictureLimit(pic("@N12.2")), "999999999.99");
    EXPECT_EQ(pictureLimit(pic("@N6")), "999999");
    EXPECT_EQ(pictureLimit(pic("")), "999999999999");
    EXPECT_EQ(pictureLimit(pic("@N20.3")), "99999999999999.999");
    EXPECT_EQ(pictureInputError(pic("@N6.2"), "12.5"), "");
    EXPECT_EQ(pictureInputError(pic("@N6.2"), "1234.5"), "Число не помещается в поле|Наибольшее значение 999.99");
    EXPECT_EQ(pictureInputError(pic("@N6.2"), "-"), "Введено не число: -");
}

}  // namespace
