#include "controls/printouts.h"

#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>

namespace tavir::controls {

using platform::Align;
using platform::Band;
using platform::Font;
using platform::PageBuilder;

namespace {

struct Cell {
    int x;
    int w;
    std::string text;
    Align align = Align::Left;
};

// One line of a table: as high as its tallest word-wrapped cell.
Band rowBand(std::vector<Cell> cells, const Font& font = {}) {
    Band band;
    band.lines = 1;
    for (const Cell& c : cells) band.lines = std::max(band.lines, platform::estimateLines(c.text, c.w, font));
    band.height = band.lines * platform::lineHeight(font);
    for (Cell& c : cells) band.text(c.x, c.w, std::move(c.text), font, c.align);
    return band;
}

Font bold() {
    Font f;
    f.bold = true;
    return f;
}

}  // namespace

platform::Document errorListPrintout(const ErrorListWindow& window) {
    PageBuilder pages;
    const int width = pages.setup().bodyWidth();
    if (!window.heading().empty()) pages.add(platform::textBand(window.heading(), width, bold()));
    pages.add(platform::textBand("!!", width, bold()));
    pages.add(platform::textBand("НЕ ВЫПОЛНЕН КОНТРОЛЬ ", width, bold()));
    for (const ErrorLine& line : window.lines()) pages.add(platform::textBand(platform::cutToWidth(line.text, 200), width));
    return pages.finish();
}

platform::Document runResultsPrintout(const RunResultsWindow& window) {
    PageBuilder pages;
    const int width = pages.setup().bodyWidth();
    const int formW = 700, nameW = 2800, textX = formW + nameW;
    // Every page names what was checked above its column headings.
    std::vector<Band> heading;
    if (!window.heading().empty()) heading.push_back(platform::textBand(window.heading(), width, bold()));
    heading.push_back(rowBand({{0, formW, "форма"}, {textX, width - textX, "контроль"}}, bold()));
    pages.setRepeatedHeading(std::move(heading));
    for (const RunResultLine& line : window.lines()) {
        pages.add(rowBand({{0, formW, platform::formatNumber(line.form), Align::Right},
                           {formW + 100, nameW - 100, line.name},
                           {textX, width - textX, line.text}}));
    }
    return pages.finish();
}

platform::Document interformPrintout(const InterformResultsWindow& window) {
    PageBuilder pages;
    const int width = pages.setup().bodyWidth();
    const int nameW = 2600, sumW = 1200, textX = nameW + sumW + 100;
    pages.add(rowBand({{0, 400, "!!"}, {400, width - 400, window.formula()}}, bold()));
    for (const InterformResult& r : window.results()) {
        pages.add(rowBand({{0, nameW, r.name},
                           {nameW, sumW, platform::formatNumber(r.sum), Align::Right},
                           {textX, width - textX, r.text}}));
    }
    return pages.finish();
}

platform::Document controlListPrintout(const ControlListPrint& print) {
    PageBuilder pages;
    const int width = pages.setup().bodyWidth();
    const Font small{};
    pages.setFooter(platform::lineHeight(small) * 2, [width, small](int page) {
        Band band;
        band.height = platform::lineHeight(small) * 2;
        band.text(0, width, "Лист " + platform::formatNumber(page), small, Align::Right);
        return band;
    });
    const int tableW = 700, ruleW = 900, textX = tableW + ruleW;
    pages.add(rowBand({{0, 900, platform::formatNumber(print.year)},
                       {900, 900, "Форма"},
                       {1800, 700, platform::formatNumber(print.form)},
                       {2600, width - 2600, print.formName}},
                      bold()));
    for (const ControlListPrint::Section& section : print.sections) {
        pages.add(rowBand({{0, tableW, "Табл."}, {tableW, ruleW, "Контроль"}, {textX, width - textX, "Код"}}, bold()));
        for (const ControlListPrint::Line& line : section.lines) {
            pages.add(rowBand({{0, tableW, platform::formatNumber(line.table), Align::Right},
                               {tableW + 100, ruleW - 100, line.rule},
                               {textX, width - textX, line.text}}));
        }
    }
    return pages.finish();
}

}  // namespace tavir::controls
