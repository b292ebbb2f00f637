// Numbers read from texts.
#pragma once

#include "platform/decimal.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavir::platform {

// The numeric value of a text, as row codes, rule codes and directory names
// are read: leading blanks skipped, an optional sign, digits with an optional
// decimal point or comma, an optional exponent ("e" or "E", sign, digits);
// the number ends at the first other character, and a text that does not
// start with a number is 0 ("1,5e2" -> 150, "-3x" -> -3, "1e" -> 1, "abc" -> 0).
double numericValue(std::string_view text);

// Strict readers for loaders: the whole text, blanks around it allowed, must
// be a number. A decimal has a point as separator and no exponent; more than
// three decimals round half away from zero; a value outside the DECIMAL 9,3
// range is refused.
std::optional<Decimal> parseDecimalStrict(std::string_view text);
std::optional<int64_t> parseIntegerStrict(std::string_view text);

}  // namespace tavir::platform
