#include "platform/text.h"

#include <algorithm>

namespace tavir::platform {

namespace {
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

size_t charCount(std::string_view text) {
    size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

std::string cutToWidth(std::string_view text, size_t width) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == width) return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

std::string_view trimRight(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string fitToWidth(std::string_view text, size_t width) {
    return std::string(trimRight(cutToWidth(trimRight(text), width)));
}

std::string padRight(std::string_view text, size_t width) {
    std::string out(text);
    size_t n = charCount(text);
    if (n < width) out.append(width - n, ' ');
    return out;
}

std::string padLeft(std::string_view text, size_t width) {
    size_t n = charCount(text);
    std::string out(n < width ? width - n : 0, ' ');
    out += text;
    return out;
}

std::string flipFirstCyrillicCase(std::string_view text) {
    if (text.empty()) return {};
    size_t pos = 0;
    std::optional<char32_t> first = nextCodePoint(text, pos);
    if (!first) return std::string(text);
    char32_t cp = *first;
    // U+0400..U+040F and U+0450..U+045F (Ё, Є, І, Ў …) pair 0x50 apart,
    // U+0410..U+042F and U+0430..U+044F (А..Я, а..я) 0x20 apart.
    if (cp >= 0x400 && cp <= 0x40F) cp += 0x50;
    else if (cp >= 0x450 && cp <= 0x45F) cp -= 0x50;
    else if (cp >= 0x410 && cp <= 0x42F) cp += 0x20;
    else if (cp >= 0x430 && cp <= 0x44F) cp -= 0x20;
    else if (cp == 0x490 || cp == 0x491) cp ^= 1;  // Ґ ґ
    else return std::string(text);
    std::string out;
    appendUtf8(out, cp);
    out += text.substr(pos);
    return out;
}

std::optional<char32_t> nextCodePoint(std::string_view text, size_t& pos) {
    unsigned char c = text[pos++];
    if (c < 0x80) return c;
    size_t more;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) { more = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { more = 2; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { more = 3; cp = c & 0x07; }
    else return std::nullopt;
    if (pos + more > text.size()) return std::nullopt;
    for (size_t k = 0; k < more; ++k) {
        unsigned char t = text[pos + k];
        if ((t & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (t & 0x3F);
    }
    if ((more == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
        return std::nullopt;
    pos += more;
    return cp;
}

bool isValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        if (!nextCodePoint(text, pos)) return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace tavir::platform
