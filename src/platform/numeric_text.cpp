#include "platform/numeric_text.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <string>

namespace tavir::platform {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

double numericValue(std::string_view text) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) return 0;
    std::string number;  // the number as from_chars reads it: no "+", a point
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    size_t intDigits = 0;
    size_t fracDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++intDigits) number += text[i];
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        number += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++fracDigits) number += text[i];
    }
    if (intDigits + fracDigits == 0) return 0;
    long long exponent = 0;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = text[j] == '-';
        if (text[j] == '-' || text[j] == '+') ++j;
        if (j < text.size() && isDigit(text[j])) {
            number += expNegative ? "e-" : "e";
            for (; j < text.size() && isDigit(text[j]); ++j) {
                number += text[j];
                exponent = std::min(exponent * 10 + (text[j] - '0'), 1'000'000LL);
            }
            if (expNegative) exponent = -exponent;
        }
    }
    double value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec == std::errc::result_out_of_range) {
        // Beyond a double's range, so far from 1 that the position of the
        // first significant digit and the exponent tell huge from tiny.
        long long first = static_cast<long long>(number.find_first_of("123456789"));
        value = static_cast<long long>(intDigits) - first + exponent > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

std::optional<Decimal> parseDecimalStrict(std::string_view text) {
    text = trimBlanks(text);
    bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    int64_t milli = 0;
    for (char c : whole) {
        if (!isDigit(c)) return std::nullopt;
        milli = milli * 10 + (c - '0');
        if (milli > Decimal::kMaxMilli / 1000) return std::nullopt;
    }
    for (size_t k = 0; k < fraction.size(); ++k) {
        if (!isDigit(fraction[k])) return std::nullopt;
    }
    int64_t thousandths = 0;
    for (size_t k = 0; k < 3; ++k) thousandths = thousandths * 10 + (k < fraction.size() ? fraction[k] - '0' : 0);
    milli = milli * 1000 + thousandths + (fraction.size() > 3 && fraction[3] >= '5');
    if (milli > Decimal::kMaxMilli) return std::nullopt;
    return Decimal::fromMilli(negative ? -milli : milli);
}

std::optional<int64_t> parseIntegerStrict(std::string_view text) {
    text = trimBlanks(text);
    if (text.size() > 1 && text.front() == '+' && isDigit(text[1])) text.remove_prefix(1);
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace tavir::platform
