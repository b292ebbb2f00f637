#include "platform/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tavir::platform;

namespace {

TEST(FormatNumber, Decimal) {
    const std::pair<int64_t, const char*> cases[] = {
        {12000, "12"}, {12500, "12.5"}, {-250, "-0.25"}, {0, "0"}, {1, "0.001"}, {-1, "-0.001"},
        {100000, "100"}, {1234567890123, "1234567890.123"}, {-Decimal::kMaxMilli, "-99999999999999.999"},
    };
    for (const auto& [milli, text] : cases) EXPECT_EQ(formatNumber(Decimal::fromMilli(milli)), text) << milli;
}

TEST(FormatNumber, Double) {
    const std::pair<double, const char*> cases[] = {
        {12.0, "12"},
        {12.5, "12.5"},
        {-0.25, "-0.25"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.3333333333"},
        {2.0 / 3, "0.6666666667"},
        {-1e-11, "0"},  // rounds to zero: no "-0"
        {1e20, "100000000000000000000"},
        {123456789012345678.0, "123456789012346000"},
        {1234567.891, "1234567.891"},
        {0.000123, "0.000123"},
        {std::nan(""), "0"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(formatNumber(value), text) << value;
}

TEST(FormatNumber, Integers) {
    EXPECT_EQ(formatNumber(0), "0");
    EXPECT_EQ(formatNumber(-5), "-5");
    EXPECT_EQ(formatNumber(int64_t{1234567890123}), "1234567890123");
    EXPECT_EQ(formatNumber(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(formatNumber(size_t{7}), "7");
}

TEST(FormatNumber, AtMostSoManyDecimals) {
    EXPECT_EQ(formatNumber(Decimal::fromMilli(12345), 2), "12.35");
    EXPECT_EQ(formatNumber(Decimal::fromMilli(12001), 2), "12");
    EXPECT_EQ(formatNumber(0.0004, 2), "0");
    EXPECT_EQ(formatNumber(-0.6, 0), "-1");
}

TEST(FormatFixed, ExactlySoManyDecimals) {
    EXPECT_EQ(formatFixed(Decimal::fromMilli(12500), 2), "12.50");
    EXPECT_EQ(formatFixed(Decimal::fromMilli(1005), 2), "1.01");
    EXPECT_EQ(formatFixed(Decimal::fromMilli(-1005), 2), "-1.01");
    EXPECT_EQ(formatFixed(Decimal::fromMilli(-4), 2), "0.00");
    EXPECT_EQ(formatFixed(Decimal::fromMilli(12500), 5), "12.50000");
    EXPECT_EQ(formatFixed(Decimal::fromMilli(500), 0), "1");
    EXPECT_EQ(formatFixed(Decimal(), 3), "0.000");
    EXPECT_EQ(formatFixed(2.675, 2), "2.68");
    EXPECT_EQ(formatFixed(9.995, 2), "10.00");
    EXPECT_EQ(formatFixed(-0.5, 0), "-1");
    EXPECT_EQ(formatFixed(0.05, 1), "0.1");
    EXPECT_EQ(formatFixed(-0.004, 2), "0.00");
    EXPECT_EQ(formatFixed(0.0004, 4), "0.0004");
    EXPECT_EQ(formatFixed(999999.9996, 3), "1000000.000");
}

TEST(FormatSpreadsheet, CommaAndAtMostThreeDecimals) {
    EXPECT_EQ(formatSpreadsheet(0.1234), "0,123");
    EXPECT_EQ(formatSpreadsheet(12.5), "12,5");
    EXPECT_EQ(formatSpreadsheet(7.0), "7");
    EXPECT_EQ(formatSpreadsheet(0.0005), "0,001");
    EXPECT_EQ(formatSpreadsheet(-0.0004), "0");
    EXPECT_EQ(formatSpreadsheet(0.1254, 2), "0,13");
    EXPECT_EQ(formatSpreadsheet(Decimal::fromMilli(1234500)), "1234,5");
    EXPECT_EQ(formatSpreadsheet(Decimal::fromMilli(-1999), 2), "-2");
}

}  // namespace
