#include "platform/decimal.h"

#include "platform/number_format.h"

#include <cmath>
#include <limits>

namespace tavir::platform {

namespace {

constexpr int64_t kMaxInt64 = std::numeric_limits<int64_t>::max();

constexpr int64_t pow10(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

}  // namespace

Decimal Decimal::fromDouble(double value) { return Decimal(roundScaled(value, 3)); }

double Decimal::toDouble() const { return static_cast<double>(milli_) / 1000.0; }

Decimal Decimal::rounded(int decimals) const {
    if (decimals >= 3) return *this;
    int64_t unit = pow10(3 - decimals);
    uint64_t magnitude = milli_ < 0 ? 0 - static_cast<uint64_t>(milli_) : static_cast<uint64_t>(milli_);
    uint64_t q = magnitude / unit + (magnitude % unit * 2 >= static_cast<uint64_t>(unit));
    uint64_t r = q * unit;
    int64_t m = r > static_cast<uint64_t>(kMaxInt64) ? kMaxInt64 : static_cast<int64_t>(r);
    return Decimal(milli_ < 0 ? -m : m);
}

std::optional<Decimal> checkedAdd(Decimal a, Decimal b) {
    if (!a.inRange() || !b.inRange()) return std::nullopt;
    Decimal sum = a + b;
    if (!sum.inRange()) return std::nullopt;
    return sum;
}

int64_t roundScaled(double value, int scale) {
    if (std::isnan(value)) return 0;
    double x = value * static_cast<double>(pow10(scale));
    // Away from a half the nearest integer of the binary product is already
    // the answer: the product and the 15-digit decimal differ by far less
    // than 0.001 at this size. Only near-halves need the decimal digits.
    if (std::fabs(x) < 1e11 && std::fabs(x - std::floor(x) - 0.5) > 1e-3) return std::llround(x);
    if (!std::isfinite(x) || std::fabs(x) >= 9.3e18) return value < 0 ? -kMaxInt64 : kMaxInt64;
    std::string text = formatFixed(value, scale);
    int64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') continue;
        if (result > (kMaxInt64 - (c - '0')) / 10) return value < 0 ? -kMaxInt64 : kMaxInt64;
        result = result * 10 + (c - '0');
    }
    return value < 0 ? -result : result;
}

}  // namespace tavir::platform
