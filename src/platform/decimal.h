// Exact fixed-point DECIMAL 9,3 values: a 64-bit count of thousandths.
// Reported values are stored and summed in this form so that sums are exact.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>

namespace tavir::platform {

class Decimal {
public:
    // Largest magnitude of a DECIMAL 9,3: 14 integer digits and 3 decimals, in thousandths.
    static constexpr int64_t kMaxMilli = 99'999'999'999'999'999;

    constexpr Decimal() = default;
    static constexpr Decimal fromMilli(int64_t milli) { return Decimal(milli); }
    // Rounded half away from zero to three decimals (see roundScaled).
    static Decimal fromDouble(double value);

    constexpr int64_t milli() const { return milli_; }
    double toDouble() const;
    constexpr bool isZero() const { return milli_ == 0; }
    // Whether the value fits a DECIMAL 9,3 field.
    constexpr bool inRange() const { return milli_ >= -kMaxMilli && milli_ <= kMaxMilli; }
    // The value rounded half away from zero to `decimals` (0 to 3) decimals.
    Decimal rounded(int decimals) const;

    // Plain arithmetic for values in range (their sums cannot overflow 64 bits);
    // checkedAdd tells whether a sum still fits the field.
    friend constexpr Decimal operator+(Decimal a, Decimal b) { return Decimal(a.milli_ + b.milli_); }
    friend constexpr Decimal operator-(Decimal a, Decimal b) { return Decimal(a.milli_ - b.milli_); }
    friend constexpr Decimal operator-(Decimal a) { return Decimal(-a.milli_); }
    Decimal& operator+=(Decimal b) { milli_ += b.milli_; return *this; }
    Decimal& operator-=(Decimal b) { milli_ -= b.milli_; return *this; }
    friend constexpr auto operator<=>(Decimal, Decimal) = default;

private:
    constexpr explicit Decimal(int64_t milli) : milli_(milli) {}
    int64_t milli_ = 0;
};

// The sum, or nothing when an operand or the sum lies outside the DECIMAL 9,3 range.
std::optional<Decimal> checkedAdd(Decimal a, Decimal b);

// `value` × 10^scale rounded half away from zero, for storing a double in a
// DECIMAL n,p field (scale = p, 0 to 18). The double is first taken as the
// decimal number of its 15 significant digits, so 1.005 rounds to 1.01 as the
// user expects rather than to the 1.00 its binary value would give. NaN gives
// 0; magnitudes beyond 64 bits saturate at ±INT64_MAX, which lies outside
// every field's range, so the field's range check refuses them.
int64_t roundScaled(double value, int scale);

}  // namespace tavir::platform
