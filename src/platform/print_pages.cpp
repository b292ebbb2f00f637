#include "platform/print_pages.h"

#include "platform/text.h"

#include <cmath>
#include <string_view>

namespace tavir::platform {

namespace {

constexpr int kA4Short = 8268;  // 210 mm
constexpr int kA4Long = 11693;  // 297 mm

double unitsPerEm(const Font& font) { return font.size * kUnitsPerInch / 72.0; }

bool isOneOf(char32_t c, std::u32string_view set) { return set.find(c) != std::u32string_view::npos; }

// Advance width in ems, rounded up from the widest glyphs of the Arial
// metrics in each class, so an estimated line never holds more than a drawn one.
double glyphWidth(char32_t c) {
    if (c == U' ') return 0.28;
    if (c >= U'0' && c <= U'9') return 0.56;
    if (isOneOf(c, U"iljftrI.,:;!'|()[]-")) return 0.34;
    const bool lower = (c >= U'a' && c <= U'z') || (c >= U'а' && c <= U'я') || c == U'ё';
    if (lower) return isOneOf(c, U"mwжмфшщыю") ? 0.85 : 0.6;
    const bool upper = (c >= U'A' && c <= U'Z') || (c >= U'А' && c <= U'Я') || c == U'Ё';
    if (upper) return isOneOf(c, U"MWЖШЩЫЮ") ? 1.02 : 0.78;
    if (isOneOf(c, U"%@&№")) return 1.1;
    return 0.78;
}

double textWidth(std::u32string_view word, double em) {
    double width = 0;
    for (char32_t c : word) width += glyphWidth(c) * em;
    return width;
}

// Lines of one paragraph wrapped greedily at blanks; a word longer than a
// line is broken between characters, as the renderer does.
int paragraphLines(std::u32string_view text, double width, double em) {
    int lines = 1;
    double used = 0;  // width of the current line, without trailing blanks
    const double space = glyphWidth(U' ') * em;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t blank = text.find(U' ', pos);
        std::u32string_view word = text.substr(pos, blank == std::u32string_view::npos ? blank : blank - pos);
        pos = blank == std::u32string_view::npos ? text.size() : blank + 1;
        if (word.empty()) {  // a run of blanks: each is drawn
            used += space;
            continue;
        }
        const double w = textWidth(word, em);
        if (used > 0 && used + space + w <= width) {
            used += space + w;
            continue;
        }
        if (used > 0) ++lines;
        used = 0;
        for (char32_t c : word) {
            const double g = glyphWidth(c) * em;
            if (used > 0 && used + g > width) {
                ++lines;
                used = 0;
            }
            used += g;
        }
    }
    return lines;
}

void offset(PageItem& item, int dx, int dy) {
    if (auto* text = std::get_if<TextItem>(&item)) {
        text->x += dx;
        text->y += dy;
    } else if (auto* line = std::get_if<LineItem>(&item)) {
        line->x1 += dx;
        line->x2 += dx;
        line->y1 += dy;
        line->y2 += dy;
    }
}

}  // namespace

int PageSetup::paperWidth() const { return orientation == Orientation::Portrait ? kA4Short : kA4Long; }

int PageSetup::paperHeight() const { return orientation == Orientation::Portrait ? kA4Long : kA4Short; }

int lineHeight(const Font& font) { return static_cast<int>(std::ceil(unitsPerEm(font) * 1.25)); }

static double emOf(const Font& font) { return unitsPerEm(font) * (font.bold ? 1.1 : 1.0); }

static std::u32string codePoints(std::string_view text) {
    std::u32string out;
    size_t pos = 0;
    while (pos < text.size()) out += nextCodePoint(text, pos).value_or(U'\uFFFD');
    return out;
}

int estimateWidth(std::string_view text, const Font& font) {
    return static_cast<int>(std::ceil(textWidth(codePoints(text), emOf(font))));
}

Font fittedFont(std::string_view text, int width, Font font) {
    const int needed = estimateWidth(text, font);
    if (needed > width && needed > 0 && width > 0) font.size = std::floor(font.size * width / needed * 10) / 10;
    return font;
}

int estimateLines(std::string_view text, int width, const Font& font) {
    const double em = emOf(font);
    int lines = 0;
    std::u32string paragraph;
    size_t pos = 0;
    while (true) {
        const bool end = pos >= text.size();
        if (end || text[pos] == '\n') {
            lines += width > 0 ? paragraphLines(paragraph, width, em) : 1;
            paragraph.clear();
            if (end) break;
            ++pos;
            continue;
        }
        // A malformed byte is drawn as one replacement character.
        paragraph += nextCodePoint(text, pos).value_or(U'\uFFFD');
    }
    return lines;
}

Band& Band::text(int x, int w, std::string text, const Font& font, Align align, bool border) {
    TextItem item;
    item.x = x;
    item.w = w;
    item.h = height;
    item.text = std::move(text);
    item.font = font;
    item.align = align;
    item.wordWrap = true;
    item.border = border;
    if (border) item.padding = kCellPadding;
    items.emplace_back(std::move(item));
    return *this;
}

Band& Band::line(int x1, int y1, int x2, int y2, int width) {
    items.emplace_back(LineItem{x1, y1, x2, y2, width});
    return *this;
}

Band textBand(std::string text, int width, const Font& font, Align align) {
    Band band;
    band.lines = estimateLines(text, width, font);
    band.height = band.lines * lineHeight(font);
    band.text(0, width, std::move(text), font, align);
    return band;
}

PageBuilder::PageBuilder(PageSetup setup) : setup_(setup) { document_.setup = setup; }

void PageBuilder::setRepeatedHeading(std::vector<Band> bands) { heading_ = std::move(bands); }

void PageBuilder::setFooter(int height, std::function<Band(int page)> footer) {
    footerHeight_ = height;
    footer_ = std::move(footer);
}

int PageBuilder::bodyBottom() const { return setup_.paperHeight() - setup_.marginBottom - footerHeight_; }

void PageBuilder::beginPage() {
    document_.pages.emplace_back();
    y_ = setup_.marginTop;
    lines_ = 0;
    pageHasBody_ = false;
    breakPending_ = false;
    for (const Band& band : heading_) place(band);
}

void PageBuilder::place(const Band& band) {
    Page& page = document_.pages.back();
    for (PageItem item : band.items) {
        offset(item, setup_.marginLeft, y_);
        page.items.push_back(std::move(item));
    }
    y_ += band.height;
    lines_ += band.lines;
}

void PageBuilder::add(Band band) {
    // A page that holds only its heading takes any band, so a band taller
    // than the body still gets printed (cut at the paper's edge) instead of
    // beginning pages without end.
    const bool full = pageHasBody_ && ((lineLimit_ > 0 && lines_ > lineLimit_) || y_ + band.height > bodyBottom());
    if (document_.pages.empty() || breakPending_ || full) beginPage();
    place(band);
    pageHasBody_ = true;
}

Document PageBuilder::finish() {
    if (document_.pages.empty()) beginPage();
    if (footer_) {
        const int top = setup_.paperHeight() - setup_.marginBottom - footerHeight_;
        for (size_t i = 0; i < document_.pages.size(); ++i) {
            for (PageItem item : footer_(static_cast<int>(i) + 1).items) {
                offset(item, setup_.marginLeft, top);
                document_.pages[i].items.push_back(std::move(item));
            }
        }
    }
    return std::move(document_);
}

}  // namespace tavir::platform
