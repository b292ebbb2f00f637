#include "platform/picture.h"

#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <algorithm>

namespace tavir::platform {

namespace {

constexpr int kMaxWidth = 99;
constexpr int kMaxDecimals = 9;

// Reads one to two digits at text[pos].
std::optional<int> readCount(std::string_view text, size_t& pos) {
    int value = 0;
    size_t start = pos;
    while (pos < text.size() && pos - start < 2 && text[pos] >= '0' && text[pos] <= '9') value = value * 10 + (text[pos++] - '0');
    if (pos == start) return std::nullopt;
    return value;
}

std::string fit(const std::string& text, int width) {
    if (static_cast<int>(text.size()) > width) return std::string(width, '#');
    return padLeft(text, width);
}

// The plain default: as many decimals as the number has and the width allows.
template <typename Value>
std::string formatPlain(int width, Value value) {
    std::string text = formatNumber(value);
    size_t point = text.find('.');
    if (static_cast<int>(text.size()) > width && point != std::string::npos && static_cast<int>(point) <= width) {
        text = formatNumber(value, std::max(width - static_cast<int>(point) - 1, 0));
    }
    return fit(text, width);
}

}  // namespace

Picture parsePicture(std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    text = text.substr(begin, text.find_last_not_of(' ') - begin + 1);
    if (text.size() < 3 || text[0] != '@' || (text[1] != 'N' && text[1] != 'n')) return {};
    Picture p;
    p.plain = false;
    size_t pos = 2;
    if (text[pos] == '-') {
        p.negative = true;
        ++pos;
    }
    std::optional<int> width = readCount(text, pos);
    if (!width || *width < 1 || *width > kMaxWidth) return {};
    p.width = *width;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        std::optional<int> decimals = readCount(text, pos);
        if (!decimals || *decimals > kMaxDecimals) return {};
        p.decimals = *decimals;
    }
    if (pos != text.size()) return {};
    return p;
}

std::string formatPicture(const Picture& picture, Decimal value) {
    if (picture.plain) return formatPlain(picture.width, value);
    return fit(formatFixed(value, picture.decimals), picture.width);
}

std::string formatPicture(const Picture& picture, double value) {
    if (picture.plain) return formatPlain(picture.width, value);
    return fit(formatFixed(value, picture.decimals), picture.width);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The typed text without the blanks that separate digit groups.
std::string withoutGroupBlanks(std::string_view typed) {
    std::string text;
    for (size_t i = 0; i < typed.size(); ++i) {
        if (isBlank(typed[i]) && !text.empty() && isDigit(text.back())) {
            size_t next = typed.find_first_not_of(" \t", i);
            if (next != std::string_view::npos && isDigit(typed[next])) {
                i = next - 1;
                continue;
            }
        }
        text += typed[i];
    }
    return text;
}

}  // namespace

std::optional<Decimal> parsePictureInput(const Picture& picture, std::string_view typed) {
    std::string text = withoutGroupBlanks(typed);
    if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
    if (text.find_first_not_of(" \t") == std::string::npos) return Decimal();
    std::optional<Decimal> value = parseDecimalStrict(text);
    if (!value) return std::nullopt;
    Decimal shown = picture.plain ? *value : value->rounded(picture.decimals);
    if (formatPicture(picture, shown).front() == '#') return std::nullopt;
    return shown;
}

}  // namespace tavir::platform

namespace tavir::platform {

bool isPartialNumberInput(std::string_view typed) {
    bool separator = false;
    bool digits = false;
    for (size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' || c == ',') {
            if (separator) return false;
            separator = true;
        } else if (c == '-') {
            if (digits || separator) return false;
            if (typed.find_first_not_of(" \t") != i) return false;
        } else if (!isBlank(c)) {
            return false;
        }
    }
    return true;
}

std::string pictureLimit(const Picture& picture) {
    // The picture's own width, and never beyond the 14 integer digits of a value.
    constexpr int kValueDigits = 14;
    if (picture.plain) return std::string(static_cast<size_t>(std::min(picture.width, kValueDigits)), '9');
    const int integers = std::min(picture.decimals > 0 ? picture.width - picture.decimals - 1 : picture.width,
                                  kValueDigits);
    std::string text(static_cast<size_t>(std::max(integers, 1)), integers > 0 ? '9' : '0');
    if (picture.decimals > 0) text += "." + std::string(static_cast<size_t>(picture.decimals), '9');
    return text;
}

std::string pictureInputError(const Picture& picture, std::string_view typed) {
    if (parsePictureInput(picture, typed)) return {};
    std::string text = withoutGroupBlanks(typed);
    if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
    if (!parseDecimalStrict(text)) return "Введено не число: " + std::string(trimRight(typed));
    return "Число не помещается в поле|Наибольшее значение " + pictureLimit(picture);
}

std::string formatPictureOrPlain(const Picture& picture, Decimal value) {
    const std::string shown = formatPicture(picture, value);
    return !shown.empty() && shown.front() == '#' ? formatNumber(value) : shown;
}

}  // namespace tavir::platform
