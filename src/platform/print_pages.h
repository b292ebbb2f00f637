// Printouts as pages of positioned items, built by core and drawn by the
// desktop program (preview, printer) or rendered to PDF.
//
// Report units are thousandths of an inch, measured from the top left corner
// of the paper. Font sizes are in points (1/72 inch).
#pragma once

#include "platform/interaction.h"

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavir::platform {

constexpr int kUnitsPerInch = 1000;

enum class VAlign { Top, Center, Bottom };

struct Font {
    std::string family = "Arial Cyr";
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
};

// Text in a box. Text outside the box is cut off; "\n" starts a new line.
struct TextItem {
    int x = 0, y = 0, w = 0, h = 0;
    std::string text;
    Font font;
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    bool wordWrap = false;
    bool border = false;
    int padding = 0;  // report units kept free inside the box left and right
};

// What a bordered cell keeps free inside its box on either side, so that
// its text never touches the lines.
constexpr int kCellPadding = 25;

struct LineItem {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int width = 10;  // report units; 0 is the thinnest line the device draws
};

using PageItem = std::variant<TextItem, LineItem>;

struct Page {
    std::vector<PageItem> items;
};

enum class Orientation { Portrait, Landscape };

// A4 paper.
struct PageSetup {
    Orientation orientation = Orientation::Portrait;
    int marginLeft = 400, marginTop = 400, marginRight = 400, marginBottom = 400;

    int paperWidth() const;
    int paperHeight() const;
    int bodyWidth() const { return paperWidth() - marginLeft - marginRight; }
};

struct Document {
    PageSetup setup;
    std::vector<Page> pages;
};

// Height of one text line of the font.
int lineHeight(const Font& font);
// The number of lines a word-wrapped text takes in a box `width` wide. Core
// has no font metrics, so glyph widths are estimated on the wide side: the
// drawn text then needs at most this many lines.
int estimateLines(std::string_view text, int width, const Font& font);
// The width one line of the text takes, estimated on the wide side as above.
int estimateWidth(std::string_view text, const Font& font);
// The font made smaller, when needed, for the text to fit on one line of
// `width`: a number is printed whole, never cut to other digits.
Font fittedFont(std::string_view text, int width, Font font);

// A horizontal strip of a page: items placed relative to its top left
// corner, which the builder puts at the left margin and the running y.
struct Band {
    int height = 0;
    int lines = 1;  // what the band adds to the page's line counter
    std::vector<PageItem> items;

    // A text box from x to x + w over the band's whole height; a bordered
    // one keeps kCellPadding free inside its lines.
    Band& text(int x, int w, std::string text, const Font& font = {}, Align align = Align::Left,
               bool border = false);
    Band& line(int x1, int y1, int x2, int y2, int width = 10);
};

// One line of text across `width`, word-wrapped: as high as its estimated
// lines, and counting them.
Band textBand(std::string text, int width, const Font& font = {}, Align align = Align::Left);

// Places bands one under another and begins a new page when a band does not
// fit above the footer, when the page already holds more lines than the line
// limit, or when asked.
class PageBuilder {
public:
    explicit PageBuilder(PageSetup setup = {});

    const PageSetup& setup() const { return setup_; }

    // Bands printed at the top of every page begun after this call.
    void setRepeatedHeading(std::vector<Band> bands);
    // The footer of each page by its page number (from 1), put at the bottom
    // of the body in a strip `height` high that bands never use. Set it
    // before the first band.
    void setFooter(int height, std::function<Band(int page)> footer);
    // A band begins a new page when the page holds more than `lines` lines;
    // 0 (the default) sets no limit.
    void setLineLimit(int lines) { lineLimit_ = lines; }

    void add(Band band);
    // The next band begins a new page; without a next band no page is added.
    void newPage() { breakPending_ = true; }

    // Lines on the current page, its repeated heading included.
    int linesOnPage() const { return lines_; }
    int pageCount() const { return static_cast<int>(document_.pages.size()); }

    // The finished document, with at least one page.
    Document finish();

private:
    void beginPage();
    void place(const Band& band);
    int bodyBottom() const;

    PageSetup setup_;
    Document document_;
    std::vector<Band> heading_;
    std::function<Band(int)> footer_;
    int footerHeight_ = 0;
    int lineLimit_ = 0;
    int y_ = 0;
    int lines_ = 0;
    bool pageHasBody_ = false;  // a band beyond the repeated heading
    bool breakPending_ = false;
};

}  // namespace tavir::platform
