// Text helpers. Text is UTF-8 in memory; widths count characters, not bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavir::platform {

// Compares two texts ignoring the case of ASCII letters (file names, labels).
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

// Number of characters (code points) of a UTF-8 text.
size_t charCount(std::string_view text);
// The first `width` characters of a UTF-8 text.
std::string cutToWidth(std::string_view text, size_t width);
// The text without trailing blanks.
std::string_view trimRight(std::string_view text);
// Trailing blanks removed, then cut to `width` characters: how a text is
// stored in a fixed-width field.
std::string fitToWidth(std::string_view text, size_t width);

// Blanks added to reach `width` characters; a longer text is returned whole.
std::string padRight(std::string_view text, size_t width);
std::string padLeft(std::string_view text, size_t width);

// The text with the case of its first character switched when that is a
// Cyrillic letter (Ё and ё included), as the name search looks for "Иванов"
// and "иванов" alike; any other text is returned unchanged.
std::string flipFirstCyrillicCase(std::string_view text);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view text);
// The code point that starts at text[pos] (pos < size), moving pos past it; nothing for a
// malformed sequence, and pos then moves past its first byte.
std::optional<char32_t> nextCodePoint(std::string_view text, size_t& pos);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace tavir::platform
