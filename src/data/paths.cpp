#include "data/paths.h"

#include "data/dictionary.h"
#include "platform/cp1251.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace tavir::data {

namespace fs = std::filesystem;

namespace {

// Lower case of ASCII and of the basic Cyrillic letters in UTF-8: Windows
// ignores the case of both, and installation folders carry Russian names.
std::string foldCase(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xD0 && i + 1 < out.size()) {
            unsigned char n = static_cast<unsigned char>(out[i + 1]);
            if (n >= 0x80 && n <= 0x8F) {  // Ѐ…Џ → ѐ…џ
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(n + 0x10);
            } else if (n >= 0x90 && n <= 0x9F) {  // А…П → а…п
                out[i + 1] = static_cast<char>(n + 0x20);
            } else if (n >= 0xA0 && n <= 0xAF) {  // Р…Я → р…я
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(n - 0x20);
            }
            ++i;
        }
    }
    return out;
}

// The entry of `dir` named `name`: the exact name when it exists, otherwise
// the first (in name order, so the choice does not depend on the directory's
// listing order) that differs only in case.
std::optional<std::string> findEntry(const fs::path& dir, std::string_view name) {
    std::error_code ec;
    if (name == "." || name == ".." || fs::exists(fs::symlink_status(dir / std::string(name), ec))) {
        return std::string(name);
    }
    std::string wanted = foldCase(name);
    std::optional<std::string> best;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (foldCase(entry) == wanted && (!best || entry < *best)) best = std::move(entry);
    }
    return best;
}

std::string fourDigits(int number) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", number);
    return buf;
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kFileLabels{{
    {"Forma.dat", label::forma},      {"Tabl.dat", label::tabl},
    {"Stroka.dat", label::stroka},    {"Grafa.dat", label::grafa},
    {"ContrStr.dat", label::contrStr}, {"ContrGr.dat", label::contrGr},
    {"ContrTab.dat", label::contrTab}, {"Rash.dat", label::rash},
    {"Sapki.tps", label::sapki},      {"ContrMF.dat", label::contrMF},
    {"BOLN.dat", label::bolnbol},     {"REGION1.dat", label::region1},
    {"VIDUCH.dat", label::viduch},    {"USER1.dat", label::user1},
    {"WWOD.dat", label::wwod},        {"POKAS.dat", label::pokas},
    {"NAMEPROG.tps", label::nameProg}, {"RASRES.tps", label::rasres},
    {"RASRESN.tps", label::rasresn},  {"TablP.dat", label::tablP},
    {"GrafaP.dat", label::grafaP},    {"SapkiP.tps", label::sapkiP},
}};

// "F" + at least four digits + ".dat", any case.
bool isValueFileName(std::string_view name) {
    constexpr std::string_view ext = ".dat";
    if (name.size() < 1 + 4 + ext.size() || (name[0] != 'F' && name[0] != 'f')) return false;
    std::string_view digits = name.substr(1, name.size() - 1 - ext.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           platform::equalsIgnoreAsciiCase(name.substr(name.size() - ext.size()), ext);
}

}  // namespace

fs::path findCaseInsensitive(const fs::path& dir, std::string_view relative) {
    fs::path result = dir;
    bool searching = true;
    size_t pos = 0;
    while (pos <= relative.size()) {
        size_t end = std::min(relative.find_first_of("\\/", pos), relative.size());
        std::string_view part = relative.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty()) continue;
        if (searching) {
            if (auto found = findEntry(result, part)) {
                result /= *found;
                continue;
            }
            searching = false;
        }
        result /= std::string(part);
    }
    return result;
}

std::string yearDirName(int year) { return fourDigits(year); }

std::string valueFileName(int form) { return "F" + fourDigits(form) + ".dat"; }

std::string_view labelForFileName(std::string_view fileName) {
    size_t slash = fileName.find_last_of("\\/");
    std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    for (const auto& [name, fileLabel] : kFileLabels) {
        if (platform::equalsIgnoreAsciiCase(base, name)) return fileLabel;
    }
    return isValueFileName(base) ? label::otchet : std::string_view();
}

fs::path Installation::resolve(std::string_view relative) const { return findCaseInsensitive(workdir_, relative); }

fs::path Installation::yearDir(int year) const { return resolve(yearDirName(year)); }

fs::path Installation::yearFile(int year, std::string_view name) const {
    return resolve(yearDirName(year) + "/" + std::string(name));
}

fs::path Installation::formaFile(int year) const { return yearFile(year, "Forma.dat"); }
fs::path Installation::tablFile(int year) const { return yearFile(year, "Tabl.dat"); }
fs::path Installation::strokaFile(int year) const { return yearFile(year, "Stroka.dat"); }
fs::path Installation::grafaFile(int year) const { return yearFile(year, "Grafa.dat"); }
fs::path Installation::contrStrFile(int year) const { return yearFile(year, "ContrStr.dat"); }
fs::path Installation::contrGrFile(int year) const { return yearFile(year, "ContrGr.dat"); }
fs::path Installation::contrTabFile(int year) const { return yearFile(year, "ContrTab.dat"); }
fs::path Installation::rashFile(int year) const { return yearFile(year, "Rash.dat"); }
fs::path Installation::sapkiFile(int year) const { return yearFile(year, "Sapki.tps"); }
fs::path Installation::contrMFFile(int year) const { return yearFile(year, "ContrMF.dat"); }
fs::path Installation::deadlineFile(int year) const { return yearFile(year, "sroki.txt"); }
fs::path Installation::valueFile(int year, int form) const { return yearFile(year, valueFileName(form)); }

fs::path Installation::bolnFile() const { return resolve("BOLN.dat"); }
fs::path Installation::region1File() const { return resolve("REGION1.dat"); }
fs::path Installation::viduchFile() const { return resolve("VIDUCH.dat"); }
fs::path Installation::user1File() const { return resolve("USER1.dat"); }
fs::path Installation::wwodFile() const { return resolve("WWOD.dat"); }
fs::path Installation::pokasFile() const { return resolve("POKAS.dat"); }
fs::path Installation::nameProgFile() const { return resolve("NAMEPROG.tps"); }
fs::path Installation::rasresFile() const { return resolve("RASRES.tps"); }
fs::path Installation::rasresnFile() const { return resolve("RASRESN.tps"); }
fs::path Installation::tablPFile() const { return resolve("TablP.dat"); }
fs::path Installation::grafaPFile() const { return resolve("GrafaP.dat"); }
fs::path Installation::sapkiPFile() const { return resolve("SapkiP.tps"); }
fs::path Installation::spisMFFile() const { return resolve("SpisMF.TXT"); }
fs::path Installation::helpFile() const { return resolve("help.TXT"); }
fs::path Installation::mapPicture() const { return resolve("karta.bmp"); }
fs::path Installation::iniFile() const { return resolve("tavir.INI"); }

std::map<int, std::string> readDeadlines(const fs::path& file) {
    std::map<int, std::string> deadlines;
    std::vector<std::string> lines;
    if (!platform::readTextLines(file, lines)) return deadlines;
    for (const std::string& line : lines) {
        std::string head = platform::cutToWidth(line, 4);
        std::optional<int64_t> form = platform::parseIntegerStrict(head);
        if (!form) continue;
        std::string_view rest = std::string_view(line).substr(head.size());
        deadlines[static_cast<int>(*form)] = platform::fitToWidth(rest, 96);
    }
    return deadlines;
}

}  // namespace tavir::data
