#include "platform/decimal.h"

#include "platform/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

using tavir::platform::checkedAdd;
using tavir::platform::Decimal;
using tavir::platform::formatFixed;
using tavir::platform::roundScaled;

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

TEST(RoundScaled, HalfAwayFromZeroOnTheDecimalValue) {
    struct Case {
        double value;
        int scale;
        int64_t expected;
    };
    const Case cases[] = {
        {1.005, 2, 101},     // binary 1.00499999…: the decimal meant rounds up
        {-1.005, 2, -101},
        {2.675, 2, 268},
        {0.125, 2, 13},      // an exact binary half
        {-0.125, 2, -13},
        {1.0005, 3, 1001},
        {-0.0005, 3, -1},
        {0.00049, 3, 0},
        {0.0004999999, 3, 0},
        {12.3456, 3, 12346},
        {-12.3454, 3, -12345},
        {2.5, 0, 3},
        {-2.5, 0, -3},
        {0.1 + 0.2, 3, 300},
        {12345678901.2345, 3, 12345678901235},  // beyond the quick path
        {9999999999999.99, 3, 9999999999999990},
        // a double holds about 15 significant digits; the 17 of this one are not all kept
        {99999999999999.999, 3, 100000000000000000},
        {0.0, 3, 0},
        {-0.0, 3, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(roundScaled(c.value, c.scale), c.expected) << c.value << " scale " << c.scale;
}

TEST(RoundScaled, QuickPathAgreesWithTheDecimalDigits) {
    // Values at, just below and just above thousandth halves, where a quick
    // binary rounding and the decimal rounding could part, and values anywhere.
    std::mt19937_64 rng(42);
    std::uniform_int_distribution<int64_t> units(-100'000'000'000, 100'000'000'000);
    std::uniform_real_distribution<double> anywhere(-1e8, 1e8);
    for (int i = 0; i < 20000; ++i) {
        double half = (static_cast<double>(units(rng)) + 0.5) / 1000.0;
        for (double v : {half, std::nextafter(half, 0.0), std::nextafter(half, HUGE_VAL), half + 4e-7, anywhere(rng)}) {
            std::string digits = formatFixed(v, 3);
            digits.erase(digits.find('.'), 1);
            ASSERT_EQ(roundScaled(v, 3), std::stoll(digits)) << v;
        }
    }
}

TEST(RoundScaled, UnrepresentableValues) {
    EXPECT_EQ(roundScaled(std::nan(""), 3), 0);
    EXPECT_EQ(roundScaled(1e300, 3), kInt64Max);
    EXPECT_EQ(roundScaled(-1e300, 3), -kInt64Max);
    EXPECT_EQ(roundScaled(-HUGE_VAL, 3), -kInt64Max);
    EXPECT_EQ(roundScaled(9.2e15, 3), 9200000000000000000);
    EXPECT_EQ(roundScaled(9.23e15, 3), kInt64Max);  // just past 64 bits
    EXPECT_FALSE(Decimal::fromDouble(1e20).inRange());
    EXPECT_FALSE(Decimal::fromDouble(HUGE_VAL).inRange());
}

TEST(Decimal, ThreeDecimalValuesSurviveTheTripThroughDouble) {
    for (int64_t m = -200000; m <= 200000; m += 7) {
        ASSERT_EQ(Decimal::fromDouble(Decimal::fromMilli(m).toDouble()).milli(), m);
    }
    for (int64_t m : {int64_t{99999999999999}, int64_t{123456789012345}, int64_t{-987654321098765}}) {
        EXPECT_EQ(Decimal::fromDouble(Decimal::fromMilli(m).toDouble()).milli(), m);
    }
    EXPECT_EQ(Decimal::fromMilli(12500).toDouble(), 12.5);
}

TEST(Decimal, SumsAreExact) {
    Decimal sum;
    double dsum = 0;
    for (int i = 0; i < 10; ++i) {
        sum += Decimal::fromDouble(0.1);
        dsum += 0.1;
    }
    EXPECT_EQ(sum, Decimal::fromMilli(1000));
    EXPECT_NE(dsum, 1.0);  // what the exact form avoids
    EXPECT_EQ((Decimal::fromMilli(1500) - Decimal::fromMilli(2250)).milli(), -750);
    EXPECT_EQ((-Decimal::fromMilli(5)).milli(), -5);
    EXPECT_LT(Decimal::fromMilli(-1), Decimal());
    EXPECT_GT(Decimal::fromMilli(1), Decimal());
}

TEST(Decimal, CheckedAddRefusesSumsBeyondTheField) {
    const Decimal max = Decimal::fromMilli(Decimal::kMaxMilli);
    const Decimal one = Decimal::fromMilli(1);
    EXPECT_EQ(checkedAdd(max, Decimal()), max);
    EXPECT_EQ(checkedAdd(max, -one), Decimal::fromMilli(Decimal::kMaxMilli - 1));
    EXPECT_FALSE(checkedAdd(max, one));
    EXPECT_FALSE(checkedAdd(-max, -one));
    EXPECT_EQ(checkedAdd(-max, max), Decimal());
    EXPECT_FALSE(checkedAdd(Decimal::fromMilli(Decimal::kMaxMilli + 1), -one));  // operand already out of range
    EXPECT_FALSE(checkedAdd(Decimal::fromMilli(kInt64Max), Decimal::fromMilli(kInt64Max)));
}

TEST(Decimal, Rounded) {
    struct Case {
        int64_t milli;
        int decimals;
        int64_t expected;
    };
    const Case cases[] = {
        {1235, 2, 1240}, {-1235, 2, -1240}, {1234, 2, 1230}, {2500, 0, 3000},
        {-2499, 0, -2000}, {999, 0, 1000}, {1234, 3, 1234}, {-4, 2, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Decimal::fromMilli(c.milli).rounded(c.decimals).milli(), c.expected) << c.milli;
}

}  // namespace
