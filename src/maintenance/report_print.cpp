#include "maintenance/report_print.h"

#include "data/periods.h"
#include "data/record_binding.h"
#include "data/row_attribute.h"
#include "platform/number_format.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <algorithm>
#include <map>
#include <optional>

namespace tavir::maintenance {

using platform::Align;
using platform::Band;
using platform::Font;
using platform::Status;

namespace {

constexpr int kWidthUnit = 90;          // report units per character of GRA:L
constexpr int kDefaultColumnChars = 10;  // a column the reference data do not describe
constexpr int kTableBreakLine = 30;
constexpr int kPageBreakLine = 55;

std::string trimmed(std::string_view text) { return std::string(platform::trimRight(text)); }

Font gridFont(bool bold = false) {
    Font f;
    f.size = 8;
    f.bold = bold;
    return f;
}

Font titleFont() {
    Font f;
    f.bold = true;
    return f;
}

// One column of a table as printed.
struct Column {
    int x = 0;
    int w = 0;
    int cod = 0;
    int kind = 0;  // GRA:TYPEGR
    std::string heading;
    std::string picture;
};

// The columns of one table: its descriptive ones (up to four), then its
// value ones, each GRA:L × 90 wide times the document's scale.
struct TableLayout {
    const PrintTable* table = nullptr;
    bool described = false;  // the table has grafa records
    std::vector<Column> descriptive;
    std::vector<Column> values;
};

TableLayout tableLayout(const PrintTable& table, const std::vector<data::Grafa>& columns, double scale) {
    TableLayout layout;
    layout.table = &table;
    std::vector<const data::Grafa*> own;
    for (const auto& g : columns) {
        if (g.CODTABL == table.CODTABL) own.push_back(&g);
    }
    layout.described = !own.empty();
    const int sm = std::clamp(table.SM, 0, 4);
    const int a = std::clamp(table.A, 0, 25);
    int x = 0;
    auto column = [&](size_t index) {
        Column c;
        const data::Grafa* g = index < own.size() ? own[index] : nullptr;
        const int chars = g && g->L > 0 ? g->L : kDefaultColumnChars;
        c.x = x;
        c.w = static_cast<int>(chars * kWidthUnit * scale);
        x += c.w;
        if (g) {
            c.cod = g->COD;
            c.kind = g->TYPEGR;
            c.heading = trimmed(platform::cutToWidth(g->NAME, 100));
            c.picture = g->FORMAT;
        }
        return c;
    };
    // Without grafa records the kinds of the descriptive columns are
    // unknown: only the values are printed.
    if (layout.described) {
        for (int i = 0; i < sm; ++i) layout.descriptive.push_back(column(static_cast<size_t>(i)));
    }
    for (int i = 0; i < a; ++i) layout.values.push_back(column(static_cast<size_t>((layout.described ? sm : 0) + i)));
    return layout;
}

int unscaledWidth(const PrintTable& table, const std::vector<data::Grafa>& columns) {
    const TableLayout layout = tableLayout(table, columns, 1.0);
    int w = 0;
    for (const auto& c : layout.descriptive) w += c.w;
    for (const auto& c : layout.values) w += c.w;
    return w;
}

// A row of cells as high as its tallest wrapped cell; `lines` is what it adds
// to the line counter.
struct CellRow {
    Band band;
    int wrapped = 1;
};

// The width a bordered cell leaves its text.
int inner(const Column& c) { return std::max(c.w - 2 * platform::kCellPadding, 1); }

CellRow cellRow(const std::vector<std::pair<const Column*, std::string>>& cells, const Font& font, Align align) {
    CellRow row;
    for (const auto& [c, text] : cells) row.wrapped = std::max(row.wrapped, platform::estimateLines(text, inner(*c), font));
    row.band.height = row.wrapped * platform::lineHeight(font);
    for (const auto& [c, text] : cells) row.band.text(c->x, c->w, text, font, align, true);
    return row;
}

class Printout {
public:
    Printout(const PrintRequest& request, const PrintReference& reference, const PrintOptions& options,
             std::string_view printDate)
        : request_(request), reference_(reference), options_(options) {
        for (const auto& r : request.rows) values_[r.UNICODSTR] = &r;
        platform::PageSetup setup;
        int widest = 0;
        for (const auto& t : request.tables) widest = std::max(widest, unscaledWidth(t, reference.columns));
        if (widest > setup.bodyWidth()) setup.orientation = platform::Orientation::Landscape;
        scale_ = widest > setup.bodyWidth() ? static_cast<double>(setup.bodyWidth()) / widest : 1.0;
        pages_ = platform::PageBuilder(setup);
        const Font footerFont = gridFont();
        const int footerHeight = platform::lineHeight(footerFont) * 2;
        const int width = setup.bodyWidth();
        const std::string date(printDate);
        pages_.setFooter(footerHeight, [=](int page) {
            Band band;
            band.height = footerHeight;
            band.text(0, width / 2, "Лист " + platform::formatNumber(page), footerFont, Align::Left);
            band.text(width / 2, width - width / 2, date, footerFont, Align::Right);
            return band;
        });
        bodyHeight_ = setup.paperHeight() - setup.marginTop - setup.marginBottom - footerHeight;
    }

    platform::Document build() {
        const int width = pages_.setup().bodyWidth();
        put(platform::textBand(options_.heading, width, titleFont()));
        Band title = platform::textBand("Ф" + platform::formatNumber(request_.form) + " " +
                                            trimmed(request_.formName) + ".",
                                        width, titleFont());
        counter_ = title.lines + 2;
        title.height += platform::lineHeight(titleFont());
        put(std::move(title));

        const bool tableOnly = options_.scope == PrintScope::Table;
        std::optional<int> previousTable;
        std::optional<TableLayout> layout;
        for (const data::Stroka& row : reference_.rows) {
            if (row.CODFORM != request_.form) continue;
            if (tableOnly && row.CODTABL != request_.currentTable) continue;
            const bool newTable = previousTable != row.CODTABL;
            previousTable = row.CODTABL;
            if (newTable) {
                layout.reset();
                auto t = std::find_if(request_.tables.begin(), request_.tables.end(),
                                      [&](const PrintTable& e) { return e.CODTABL == row.CODTABL; });
                // Rows of a table the form does not list have no columns to print.
                if (t == request_.tables.end()) continue;
                layout = tableLayout(*t, reference_.columns, scale_);
            }
            if (!layout) continue;

            auto found = values_.find(row.UNICOD);
            const PrintRow* values = found == values_.end() ? nullptr : found->second;
            std::optional<Band> detail;
            if (values || !options_.filledOnly) detail = detailBand(*layout, row, values);

            if (newTable) {
                startTable(*layout, detail ? detail->height : 0);
            } else if (counter_ > kPageBreakLine || (detail && !fits(numberRowHeight(*layout) + detail->height))) {
                breakPage();
                if (layout->table->TYPE != 1) numberRow(*layout);
            }
            if (detail) {
                counter_ += detail->lines;
                put(std::move(*detail));
            }
        }
        return pages_.finish();
    }

private:
    void put(Band band) {
        used_ += band.height;
        pages_.add(std::move(band));
    }
    bool fits(int height) const { return used_ + height <= bodyHeight_; }
    void breakPage() {
        pages_.newPage();
        used_ = 0;
        counter_ = 0;
    }

    Band tableTitle(const TableLayout& layout) const {
        Band band = platform::textBand("Т " + platform::formatNumber(layout.table->CODTABL) + " " +
                                           trimmed(layout.table->NAME),
                                       pages_.setup().bodyWidth(), titleFont());
        band.height += platform::lineHeight(titleFont()) / 2;
        return band;
    }

    std::vector<const Column*> gridColumns(const TableLayout& layout) const {
        std::vector<const Column*> all;
        for (const auto& c : layout.descriptive) all.push_back(&c);
        for (const auto& c : layout.values) all.push_back(&c);
        return all;
    }

    CellRow headingRow(const TableLayout& layout) const {
        std::vector<std::pair<const Column*, std::string>> cells;
        for (const Column* c : gridColumns(layout)) cells.emplace_back(c, c->heading);
        return cellRow(cells, gridFont(), Align::Center);
    }

    CellRow numberCells(const TableLayout& layout) const {
        std::vector<std::pair<const Column*, std::string>> cells;
        for (const Column* c : gridColumns(layout)) cells.emplace_back(c, platform::formatNumber(c->cod));
        return cellRow(cells, gridFont(true), Align::Center);
    }

    int numberRowHeight(const TableLayout& layout) const {
        return layout.described && layout.table->TYPE != 1 ? numberCells(layout).band.height : 0;
    }

    void numberRow(const TableLayout& layout) {
        if (!layout.described) return;
        counter_ += 2;
        put(numberCells(layout).band);
    }

    void startTable(const TableLayout& layout, int firstRowHeight) {
        Band title = tableTitle(layout);
        const bool grid = layout.table->TYPE != 1 && layout.described;
        std::optional<CellRow> headings;
        if (grid) headings = headingRow(layout);
        const int needed = title.height + (headings ? headings->band.height + numberRowHeight(layout) : 0) +
                           firstRowHeight;
        if (counter_ > kTableBreakLine || !fits(needed)) breakPage();
        counter_ += title.lines + 2;
        put(std::move(title));
        if (!headings) return;
        counter_ += headings->wrapped + 1;
        put(std::move(headings->band));
        numberRow(layout);
    }

    std::string valueText(const Column& column, const PrintRow* values, int index) const {
        const platform::Decimal v = values ? values->DATA[static_cast<size_t>(index)] : platform::Decimal();
        return printedValue(column.picture, v);
    }

    Band detailBand(const TableLayout& layout, const data::Stroka& row, const PrintRow* values) const {
        if (layout.table->TYPE == 1) {
            // One line per value column: its ordinal, heading and value.
            const Font font = gridFont();
            const int lh = platform::lineHeight(font);
            const int width = pages_.setup().bodyWidth();
            Band band;
            band.lines = 0;
            // With several rows each block is headed by its row's name, so
            // the blocks can be told apart on paper.
            if (rowsOf(row.CODTABL) > 1) {
                band.text(0, width, trimmed(platform::cutToWidth(row.NAME, 100)), gridFont(true));
                std::get<platform::TextItem>(band.items.back()).h = lh;
                band.height += lh;
                ++band.lines;
            }
            for (size_t i = 0; i < layout.values.size(); ++i) {
                const Column& c = layout.values[i];
                platform::TextItem item;
                item.y = band.height;
                item.w = width;
                item.h = lh;
                item.font = font;
                item.text = platform::formatNumber(static_cast<int>(i) + 1) + ". " + c.heading + " -" +
                            valueText(c, values, static_cast<int>(i));
                band.items.emplace_back(std::move(item));
                band.height += lh;
                ++band.lines;
            }
            return band;
        }
        const Font font = gridFont();
        std::vector<std::string> described;
        int wrapped = 1;
        for (const Column& c : layout.descriptive) {
            described.push_back(data::descriptiveCell(row, c.kind));
            wrapped = std::max(wrapped, platform::estimateLines(described.back(), inner(c), font));
        }
        Band band;
        band.height = wrapped * platform::lineHeight(font);
        band.lines = wrapped + 1;
        for (size_t i = 0; i < layout.descriptive.size(); ++i) {
            const Column& c = layout.descriptive[i];
            band.text(c.x, c.w, described[i], font, Align::Left, true);
        }
        for (size_t i = 0; i < layout.values.size(); ++i) {
            const Column& c = layout.values[i];
            std::string text = valueText(c, values, static_cast<int>(i));
            // A number wider than its column prints smaller on its one line,
            // never cut or broken; the picture's leading blanks take no room.
            std::string_view digits = platform::trimRight(text);
            digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
            const Font fitted = platform::fittedFont(digits, inner(c), font);
            band.text(c.x, c.w, std::move(text), fitted, Align::Right, true);
            std::get<platform::TextItem>(band.items.back()).wordWrap = false;
        }
        return band;
    }

    int rowsOf(int table) const {
        return static_cast<int>(std::count_if(reference_.rows.begin(), reference_.rows.end(), [&](const data::Stroka& r) {
            return r.CODFORM == request_.form && r.CODTABL == table;
        }));
    }

    const PrintRequest& request_;
    const PrintReference& reference_;
    const PrintOptions& options_;
    std::map<int, const PrintRow*> values_;
    platform::PageBuilder pages_;
    double scale_ = 1.0;
    int bodyHeight_ = 0;
    int used_ = 0;
    int counter_ = 0;
};

}  // namespace

Status loadPrintReference(const data::Installation& installation, int year, int form, PrintReference& out) {
    out = {};
    data::RecordFile<data::Stroka> stroka(installation.strokaFile(year));
    if (Status st = stroka.forEachEqual("STR:STRNUM", {form}, [&](const data::Stroka& s) { out.rows.push_back(s); });
        !st)
        return st;
    data::RecordFile<data::Grafa> grafa(installation.grafaFile(year));
    return grafa.forEachEqual("GRA:GRA1", {form}, [&](const data::Grafa& g) { out.columns.push_back(g); });
}

Status storedReportRequest(const data::Installation& installation, int year, int form, int facility,
                           int64_t period, PrintRequest& out) {
    out = {};
    out.year = year;
    out.form = form;
    std::optional<data::Forma> forma;
    data::RecordFile<data::Forma> formaFile(installation.formaFile(year));
    if (Status st = formaFile.forEachEqual("FOR:KEYUNICOD", {form}, [&](const data::Forma& f) { forma = f; }); !st)
        return st;
    if (!forma) {
        return Status::fail(platform::ErrorKind::NoRecord, "Нет формы " + platform::formatNumber(form) + " в " +
                                                               installation.formaFile(year).string());
    }
    out.formName = trimmed(forma->NAME);
    std::optional<data::Bolnbol> found;
    data::RecordFile<data::Bolnbol> boln(installation.bolnFile());
    if (Status st = boln.forEachEqual("BOL:KEYUNICOD", {facility}, [&](const data::Bolnbol& b) { found = b; }); !st)
        return st;
    if (!found) {
        return Status::fail(platform::ErrorKind::NoRecord, "Нет учреждения " + platform::formatNumber(facility) +
                                                               " в " + installation.bolnFile().string());
    }
    out.label = trimmed(found->NAZV);
    out.headingYear = year;
    if (auto type = data::periodTypeFromCode(forma->TIP)) out.periodText = data::periodName(*type, period, "");

    data::RecordFile<data::Tabl> tabl(installation.tablFile(year));
    if (Status st = tabl.forEachEqual("TAB:TAB1", {form},
                              [&](const data::Tabl& t) { out.tables.push_back({t.CODTABL, t.NAME, t.SM, t.A, t.TYPE}); });
        !st)
        return st;
    if (!out.tables.empty()) out.currentTable = out.tables.front().CODTABL;
    data::RecordFile<data::Otchet> values(installation.valueFile(year, form));
    return values.forEachEqual("OTC:KEYCODUCH", {period, facility}, [&](const data::Otchet& o) {
        PrintRow row;
        row.UNICODSTR = o.UNICODSTR;
        std::copy_n(o.DATA.begin(), row.DATA.size(), row.DATA.begin());
        out.rows.push_back(row);
    });
}

PrintRequest editorPrintRequest(entry::ReportEditor& editor, std::string label) {
    editor.sync();
    PrintRequest request;
    const entry::ChosenReport& report = editor.report();
    request.year = report.year;
    request.form = report.formCode;
    request.formName = report.formName;
    request.label = std::move(label);
    request.headingYear = report.year;
    request.periodText = editor.periodName();
    if (!editor.tables().empty()) request.currentTable = editor.currentTable().CODTABL;
    for (const entry::TableEntry& t : editor.tables()) request.tables.push_back({t.CODTABL, t.NAME, t.SM, t.A, t.TYPE});
    for (const auto& [unicod, entry] : editor.cache()) request.rows.push_back({unicod, entry.DATA});
    return request;
}

std::string printHeading(const PrintRequest& request) {
    std::string heading = trimmed(request.label);
    if (request.headingYear != 0) {
        heading += "  " + platform::formatNumber(request.headingYear) + "г." + trimmed(request.periodText);
    }
    return heading;
}

std::string printDateText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%y  %H:%M:%S", &local);
    return text;
}

std::string printedValue(const std::string& picture, platform::Decimal value) {
    if (value.isZero()) return "   -";
    return platform::formatPictureOrPlain(platform::parsePicture(picture), value);
}

platform::Document reportPrintout(const PrintRequest& request, const PrintReference& reference,
                                  const PrintOptions& options, std::string_view printDate) {
    return Printout(request, reference, options, printDate).build();
}

PrintParamsWindow::PrintParamsWindow(const data::Installation& installation, PrintRequest request)
    : installation_(installation), request_(std::move(request)) {
    setHeading(printHeading(request_));
}

void PrintParamsWindow::setHeading(std::string_view heading) {
    options_.heading = platform::cutToWidth(heading, kHeadingWidth);
}

Status PrintParamsWindow::proceed(platform::Document& out) const {
    PrintReference reference;
    if (Status st = loadPrintReference(installation_, request_.year, request_.form, reference); !st) return st;
    out = reportPrintout(request_, reference, options_, printDateText(std::time(nullptr)));
    return Status::ok();
}

}  // namespace tavir::maintenance
