#include "platform/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tavir::platform;

namespace {

TEST(NumericValue, ReadsTheLeadingNumber) {
    const std::pair<const char*, double> cases[] = {
        {"  7", 7},
        {"1.1", 1.1},
        {"1,5e2", 150},
        {"abc", 0},
        {"", 0},
        {"-3x", -3},
        {"1e", 1},
        {"1e+", 1},
        {"1ex", 1},
        {"2E-2", 0.02},
        {"+4", 4},
        {".5", 0.5},
        {"5.", 5},
        {"-", 0},
        {" - 5", 0},
        {"12 34", 12},
        {"1.2.3", 1.2},
        {"0001990", 1990},
        {"   ", 0},
        {"1e-999", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(numericValue(text), value) << '"' << text << '"';
}

TEST(NumericValue, OverflowIsInfinite) {
    EXPECT_EQ(numericValue("1e999"), HUGE_VAL);
    EXPECT_EQ(numericValue("-1e999"), -HUGE_VAL);
    EXPECT_EQ(numericValue("1e99999999999999999999"), HUGE_VAL);
    EXPECT_EQ(numericValue(std::string(400, '9')), HUGE_VAL);
    // Huge or tiny by mantissa and exponent together.
    EXPECT_EQ(numericValue("1" + std::string(400, '0') + "e-50"), HUGE_VAL);
    EXPECT_EQ(numericValue("0." + std::string(63, '0') + "1e400"), HUGE_VAL);
    EXPECT_EQ(numericValue("0." + std::string(400, '0') + "1e50"), 0.0);
    EXPECT_DOUBLE_EQ(numericValue("0." + std::string(400, '0') + "1e400"), 0.1);
}

TEST(ParseDecimalStrict, WholeTextMustBeANumber) {
    const std::pair<const char*, int64_t> good[] = {
        {" 12.5 ", 12500}, {"-0.0005", -1}, {"0.0004", 0}, {"0.00049", 0}, {"1.23451", 1235}, {".5", 500},
        {"5.", 5000}, {"+3", 3000}, {"-0", 0}, {"007", 7000}, {"99999999999999.999", Decimal::kMaxMilli},
        {"-99999999999999.999", -Decimal::kMaxMilli},
    };
    for (const auto& [text, milli] : good) {
        auto value = parseDecimalStrict(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(value->milli(), milli) << text;
    }
    for (const char* text : {"", "  ", "abc", "1,5", "1e2", "12.5x", "-", ".", "- 5", "+-5", "1.2.3",
                             "100000000000000", "99999999999999.9995", "1 000"}) {
        EXPECT_FALSE(parseDecimalStrict(text)) << text;
    }
}

TEST(ParseIntegerStrict, WholeTextMustBeAnInteger) {
    EXPECT_EQ(parseIntegerStrict(" 42 "), 42);
    EXPECT_EQ(parseIntegerStrict("-7"), -7);
    EXPECT_EQ(parseIntegerStrict("+7"), 7);
    EXPECT_EQ(parseIntegerStrict("9223372036854775807"), INT64_MAX);
    for (const char* text : {"", "+", "-", "4.0", "12a", "1 2", "+-5", "9223372036854775808"}) {
        EXPECT_FALSE(parseIntegerStrict(text)) << text;
    }
}

}  // namespace
