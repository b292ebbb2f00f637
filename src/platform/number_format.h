// The one number formatter for messages, titles, file names and exports:
// plain decimal, no grouping, a leading "-" for negatives, no trailing zeros
// after the point and no point for whole numbers; never "-0".
#pragma once

#include "platform/decimal.h"

#include <concepts>
#include <string>

namespace tavir::platform {

std::string formatNumber(Decimal value);
// A double is shown with at most 15 significant digits and at most 10
// decimals: enough for every meaningful digit, while the binary noise of
// computed values (0.1 + 0.2) disappears. Never in exponent form.
// NaN and infinities are shown as 0.
std::string formatNumber(double value);
// The same with at most `maxDecimals` decimals, rounded half away from zero.
std::string formatNumber(Decimal value, int maxDecimals);
std::string formatNumber(double value, int maxDecimals);
template <std::integral T>
    requires(!std::same_as<T, bool>)
std::string formatNumber(T value) {
    return std::to_string(value);
}

// The value with exactly `decimals` decimals (0 to 18) and a point, rounded
// half away from zero; the rounding of doubles is that of roundScaled.
std::string formatFixed(Decimal value, int decimals);
std::string formatFixed(double value, int decimals);

// Spreadsheet form: formatNumber with a decimal comma and by default at
// most three decimals (0.1234 -> "0,123").
std::string formatSpreadsheet(double value, int maxDecimals = 3);
std::string formatSpreadsheet(Decimal value, int maxDecimals = 3);

}  // namespace tavir::platform
