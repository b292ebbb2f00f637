#include "platform/number_format.h"

#include <charconv>
#include <cmath>

namespace tavir::platform {

namespace {

// Digits of |value| × 10^decimals rounded half away from zero, after |value|
// has been taken with 15 significant digits; empty for zero.
std::string scaledDigits(double magnitude, int decimals) {
    if (magnitude == 0) return {};
    char buf[32];
    auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
    // "d.ddddddddddddddde±x": the value is 0.ddd… × 10^(x + 1).
    std::string digits(1, buf[0]);
    digits.append(buf + 2, buf + 16);
    int exponent = 0;
    std::from_chars(buf + 17 + (buf[17] == '+'), end, exponent);
    int keep = exponent + 1 + decimals;  // digits that form the integer part of the scaled value
    if (keep >= 15) return digits + std::string(keep - 15, '0');
    if (keep < 0) return {};
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) ++digits[i];
        else digits.insert(digits.begin(), '1');
    }
    return digits;
}

// "-12.50" from the digits of the scaled magnitude "1250", with 2 decimals.
std::string placePoint(bool negative, std::string digits, int decimals) {
    if (digits.empty() || digits.find_first_not_of('0') == std::string::npos) negative = false;
    if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
    if (decimals > 0) digits.insert(digits.size() - decimals, 1, '.');
    if (negative) digits.insert(0, 1, '-');
    return digits;
}

std::string stripZeros(std::string text) {
    if (text.find('.') == std::string::npos) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string withComma(std::string text) {
    if (auto point = text.find('.'); point != std::string::npos) text[point] = ',';
    return text;
}

}  // namespace

std::string formatFixed(Decimal value, int decimals) {
    Decimal r = value.rounded(decimals < 3 ? decimals : 3);
    uint64_t magnitude = r.milli() < 0 ? 0 - static_cast<uint64_t>(r.milli()) : static_cast<uint64_t>(r.milli());
    for (int d = decimals; d < 3; ++d) magnitude /= 10;  // exact: rounded to `decimals` above
    std::string digits = std::to_string(magnitude);
    if (decimals > 3) digits.append(decimals - 3, '0');
    return placePoint(r.milli() < 0, digits, decimals);
}

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    return placePoint(std::signbit(value), scaledDigits(std::fabs(value), decimals), decimals);
}

std::string formatNumber(Decimal value, int maxDecimals) { return stripZeros(formatFixed(value, maxDecimals)); }

std::string formatNumber(double value, int maxDecimals) { return stripZeros(formatFixed(value, maxDecimals)); }

std::string formatNumber(Decimal value) { return formatNumber(value, 3); }

std::string formatNumber(double value) { return formatNumber(value, 10); }

std::string formatSpreadsheet(double value, int maxDecimals) { return withComma(formatNumber(value, maxDecimals)); }

std::string formatSpreadsheet(Decimal value, int maxDecimals) { return withComma(formatNumber(value, maxDecimals)); }

}  // namespace tavir::platform
