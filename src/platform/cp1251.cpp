#include "platform/cp1251.h"

#include "platform/number_format.h"
#include "platform/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace tavir::platform {

namespace {

// Characters of the bytes 0x80..0xBF; 0xC0..0xFF are А..я in order.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

std::optional<char> toByte(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= 0x410 && cp <= 0x44F) return static_cast<char>(0xC0 + (cp - 0x410));
    for (int i = 0; i < 64; ++i) {
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

// Converts, giving `replacement` for what has no byte; false when that
// happened and no replacement was wanted.
bool encode(std::string_view text, std::string& out, std::optional<char> replacement) {
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        std::optional<char32_t> cp = nextCodePoint(text, pos);
        std::optional<char> byte = cp ? toByte(*cp) : std::nullopt;
        if (!byte && !replacement) return false;
        out += byte ? *byte : *replacement;
    }
    return true;
}

std::string systemError(int code) { return std::generic_category().message(code); }

}  // namespace

std::string cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0xC0) appendUtf8(out, kHigh[c - 0x80]);
        else appendUtf8(out, 0x410 + (c - 0xC0));
    }
    return out;
}

std::optional<std::string> utf8ToCp1251(std::string_view text) {
    std::string out;
    if (!encode(text, out, std::nullopt)) return std::nullopt;
    return out;
}

std::string utf8ToCp1251Lossy(std::string_view text) {
    std::string out;
    encode(text, out, '?');
    return out;
}

std::string decodeTextFile(std::string_view bytes) {
    if (!isValidUtf8(bytes)) return cp1251ToUtf8(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return std::string(bytes);
}

Status readTextLines(const std::filesystem::path& path, std::vector<std::string>& lines) {
    lines.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        int code = errno;
        return Status::fail(code == ENOENT ? ErrorKind::NotFound : ErrorKind::Io,
                            "Не удалось открыть файл " + path.string() + ": " + systemError(code));
    }
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) bytes.append(buf, n);
    int code = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (code != 0) return Status::fail(ErrorKind::Io, "Ошибка чтения файла " + path.string() + ": " + systemError(code));

    std::string text = decodeTextFile(bytes);
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return Status::ok();
}

Status writeTextLinesCp1251(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string> line = utf8ToCp1251(lines[i]);
        if (!line) {
            return Status::fail(ErrorKind::Invalid, "Строка " + formatNumber(i + 1) + " файла " + path.string() +
                                                        " содержит символы, которых нет в кодировке Windows-1251");
        }
        bytes += *line;
        bytes += "\r\n";
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        int code = errno;
        return Status::fail(ErrorKind::Io, "Не удалось создать файл " + path.string() + ": " + systemError(code));
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int code = written ? 0 : errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written) return Status::fail(ErrorKind::Io, "Ошибка записи файла " + path.string() + ": " + systemError(code));
    return Status::ok();
}

}  // namespace tavir::platform
