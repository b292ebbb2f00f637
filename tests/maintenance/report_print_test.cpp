// The report printout on the page model: what each page holds.

#include "../app/installation_fixture.h"
#include "maintenance/report_print.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tavir;
using maintenance::PrintOptions;
using maintenance::PrintReference;
using maintenance::PrintRequest;
using maintenance::PrintScope;
using platform::Decimal;

namespace {

constexpr int kForm = 5;

data::Stroka row(int table, int number, int unicod) {
    data::Stroka s;
    s.UNICOD = unicod;
    s.CODFORM = kForm;
    s.CODTABL = table;
    s.NUMBER = number;
    s.CODSTR = std::to_string(number);
    s.NAME = "Строка " + std::to_string(unicod);
    s.CODMKB = "A00";
    s.POL = "м";
    return s;
}

data::Grafa column(int table, int cod, std::string name, int kind, std::string format = "", int width = 8) {
    return fixture::column(kForm, table, cod, std::move(name), kind, std::move(format), width);
}

struct Fixture {
    PrintRequest request;
    PrintReference reference;

    // A grid table with a name and a code column, two value columns and `rows` rows.
    void gridTable(int table, int rows, int firstUnicod) {
        request.tables.push_back({table, "Таблица " + std::to_string(table), 2, 2, 0});
        reference.columns.push_back(column(table, 1, "Наименование", 1, "", 30));
        reference.columns.push_back(column(table, 2, "№ строки", 2, "", 10));
        reference.columns.push_back(column(table, 3, "Всего", 0, "@N6"));
        reference.columns.push_back(column(table, 4, "Дети", 0, "@N8.1"));
        for (int i = 1; i <= rows; ++i) reference.rows.push_back(row(table, i, firstUnicod + i - 1));
    }
    void value(int unicod, std::vector<double> values) {
        maintenance::PrintRow r;
        r.UNICODSTR = unicod;
        for (size_t i = 0; i < values.size(); ++i) r.DATA[i] = Decimal::fromDouble(values[i]);
        request.rows.push_back(r);
    }
    platform::Document print(PrintScope scope = PrintScope::Report, bool filledOnly = false) const {
        PrintOptions options;
        options.heading = "Тарвинская ЦРБ  2026г.март";
        options.scope = scope;
        options.filledOnly = filledOnly;
        return maintenance::reportPrintout(request, reference, options, "05.03.26  10:11:12");
    }
};

Fixture makeFixture() {
    Fixture fx;
    fx.request.year = 2026;
    fx.request.form = kForm;
    fx.request.formName = "Сведения о прививках   ";
    return fx;
}

std::vector<platform::TextItem> texts(const platform::Page& page) {
    std::vector<platform::TextItem> out;
    for (const auto& item : page.items) {
        if (const auto* t = std::get_if<platform::TextItem>(&item)) out.push_back(*t);
    }
    return out;
}

bool holds(const platform::Page& page, const std::string& text) {
    const auto all = texts(page);
    return std::any_of(all.begin(), all.end(), [&](const auto& t) { return t.text == text; });
}

int pageOf(const platform::Document& doc, const std::string& text) {
    for (size_t i = 0; i < doc.pages.size(); ++i) {
        if (holds(doc.pages[i], text)) return static_cast<int>(i) + 1;
    }
    return 0;
}

TEST(ReportPrintout, WholeReportBandsHeadingsAndValues) {
    Fixture fx = makeFixture();
    fx.gridTable(1000, 2, 1);
    fx.value(1, {12.5, 0});
    const auto doc = fx.print();
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& page = doc.pages[0];
    EXPECT_TRUE(holds(page, "Тарвинская ЦРБ  2026г.март"));
    EXPECT_TRUE(holds(page, "Ф5 Сведения о прививках."));
    EXPECT_TRUE(holds(page, "Т 1000 Таблица 1000"));
    for (std::string h : {"Наименование", "№ строки", "Всего", "Дети", "1", "2", "3", "4"}) EXPECT_TRUE(holds(page, h)) << h;
    // The descriptive cells by kind; a picture for integers rounds 12.5;
    // zero and an absent row print dashes.
    EXPECT_TRUE(holds(page, "Строка 1"));
    EXPECT_TRUE(holds(page, "    13"));
    EXPECT_FALSE(holds(page, "A00"));
    const auto all = texts(page);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& t) { return t.text == "   -"; }), 3);
    EXPECT_TRUE(holds(page, "Лист 1"));
    EXPECT_TRUE(holds(page, "05.03.26  10:11:12"));
}

TEST(ReportPrintout, TableOnlyAndFilledRows) {
    Fixture fx = makeFixture();
    fx.gridTable(1000, 2, 1);
    fx.gridTable(2000, 3, 10);
    fx.value(11, {4, 0});
    fx.request.currentTable = 2000;

    auto doc = fx.print(PrintScope::Table);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_FALSE(holds(doc.pages[0], "Т 1000 Таблица 1000"));
    EXPECT_FALSE(holds(doc.pages[0], "Строка 1"));
    EXPECT_TRUE(holds(doc.pages[0], "Т 2000 Таблица 2000"));
    EXPECT_TRUE(holds(doc.pages[0], "Наименование"));
    for (std::string r : {"Строка 10", "Строка 11", "Строка 12"}) EXPECT_TRUE(holds(doc.pages[0], r)) << r;

    doc = fx.print(PrintScope::Table, true);
    EXPECT_TRUE(holds(doc.pages[0], "Строка 11"));
    EXPECT_FALSE(holds(doc.pages[0], "Строка 10"));
    EXPECT_FALSE(holds(doc.pages[0], "Строка 12"));
}

// Lines: form title 1 + 2, table title 1 + 2, headings 1 + 1, numbers 2,
// then 2 per row: after n rows the counter stands at 10 + 2n.
TEST(ReportPrintout, NextTableStartsNewPageAboveLine30) {
    for (int rows : {10, 11}) {
        Fixture fx = makeFixture();
        fx.gridTable(1000, rows, 1);
        fx.gridTable(2000, 1, 100);
        const auto doc = fx.print();
        EXPECT_EQ(pageOf(doc, "Т 2000 Таблица 2000"), rows == 10 ? 1 : 2) << rows;
        EXPECT_EQ(doc.pages.size(), rows == 10 ? 1u : 2u);
        for (size_t i = 0; i < doc.pages.size(); ++i) EXPECT_TRUE(holds(doc.pages[i], "Лист " + std::to_string(i + 1)));
    }
}

TEST(ReportPrintout, PageAboveLine55RepeatsOnlyTheNumberRow) {
    Fixture fx = makeFixture();
    fx.gridTable(1000, 30, 1);
    const auto doc = fx.print();
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(pageOf(doc, "Строка 23"), 1);
    EXPECT_EQ(pageOf(doc, "Строка 24"), 2);
    const auto& second = doc.pages[1];
    EXPECT_FALSE(holds(second, "Наименование"));
    EXPECT_FALSE(holds(second, "Т 1000 Таблица 1000"));
    const auto all = texts(second);
    auto numberCell = [&](const std::string& n) {
        return std::any_of(all.begin(), all.end(), [&](const auto& t) {
            return t.text == n && t.font.bold && t.align == platform::Align::Center;
        });
    };
    for (std::string n : {"1", "2", "3", "4"}) EXPECT_TRUE(numberCell(n)) << n;
    EXPECT_TRUE(holds(second, "Лист 2"));
    EXPECT_TRUE(holds(second, "05.03.26  10:11:12"));
}

TEST(ReportPrintout, ListLayoutAndHiddenDescriptiveCells) {
    Fixture fx = makeFixture();
    fx.request.tables.push_back({1, "Фонд оплаты", 2, 2, 1});
    fx.reference.columns = {column(1, 1, "Наименование", 1), column(1, 2, "Код", 2),
                            column(1, 3, "Фонд   ", 0, "@N10.2"), column(1, 4, "Средняя", 0, "@N10.2")};
    fx.reference.rows = {row(1, 1, 1)};
    fx.value(1, {0, 1500});
    const auto doc = fx.print();
    const auto& page = doc.pages[0];
    EXPECT_TRUE(holds(page, "1. Фонд -   -"));
    EXPECT_TRUE(holds(page, "2. Средняя -   1500.00"));
    EXPECT_FALSE(holds(page, "Наименование"));
    EXPECT_FALSE(holds(page, "Строка 1"));

    // A grid table with two descriptive columns draws two descriptive cells;
    // without grafa records only the title and the values are printed.
    Fixture grid = makeFixture();
    grid.gridTable(1000, 1, 1);
    grid.request.tables.push_back({2000, "Без граф", 2, 1, 0});
    grid.reference.rows.push_back(row(2000, 1, 50));
    const auto gridDoc = grid.print();
    const auto cells = texts(gridDoc.pages[0]);
    const int rowY = [&] {
        for (const auto& t : cells) {
            if (t.text == "Строка 1") return t.y;
        }
        return -1;
    }();
    EXPECT_EQ(std::count_if(cells.begin(), cells.end(), [&](const auto& t) { return t.y == rowY; }), 4);
    EXPECT_TRUE(holds(gridDoc.pages[0], "Т 2000 Без граф"));
    EXPECT_FALSE(holds(gridDoc.pages[0], "Строка 50"));
}

// A list-layout table of several rows heads each row's block with its name.
TEST(ReportPrintout, ListLayoutOfSeveralRowsNamesEachBlock) {
    Fixture fx = makeFixture();
    fx.request.tables.push_back({1, "Фонд оплаты", 2, 1, 1});
    fx.reference.columns = {column(1, 1, "Наименование", 1), column(1, 2, "Код", 2), column(1, 3, "Фонд", 0, "@N10.2")};
    fx.reference.rows = {row(1, 1, 1), row(1, 2, 2)};
    fx.value(1, {100});
    fx.value(2, {200});
    const auto all = texts(fx.print().pages[0]);
    std::vector<std::string> block;
    for (const auto& t : all) {
        if (t.text.starts_with("Строка") || t.text.starts_with("1. ")) block.push_back(t.text);
    }
    EXPECT_EQ(block, (std::vector<std::string>{"Строка 1", "1. Фонд -    100.00", "Строка 2", "1. Фонд -    200.00"}));
}

// The largest values a field holds print whole, in a font small enough for
// the estimate to fit them inside the cell's padding; a value wider than its
// picture prints as the plain number; small values keep the grid's font.
TEST(ReportPrintout, WideValuesPrintWholeInTheirCells) {
    Fixture fx = makeFixture();
    fx.request.tables.push_back({1, "Суммы", 0, 3, 0});
    fx.reference.columns = {column(1, 1, "Сумма", 0, "@N12.2", 4), column(1, 2, "Остаток", 0, "@N6", 4),
                            column(1, 3, "Малое", 0, "@N12.2", 4)};
    fx.reference.rows = {row(1, 1, 1)};
    fx.value(1, {999999999, 0, 1});
    fx.request.rows.back().DATA[1] = Decimal::fromMilli(Decimal::kMaxMilli);
    const auto all = texts(fx.print().pages[0]);
    for (const std::string value : {"999999999.00", "99999999999999.999", "1.00"}) {
        const auto item = std::find_if(all.begin(), all.end(), [&](const auto& t) {
            std::string_view text = t.text;
            return text.substr(std::min(text.find_first_not_of(' '), text.size())) == value;
        });
        ASSERT_NE(item, all.end()) << value;
        EXPECT_FALSE(item->wordWrap) << value;
        EXPECT_LE(platform::estimateWidth(value, item->font), item->w - 2 * item->padding) << value;
        EXPECT_EQ(item->font.size < 8, value != "1.00") << value;
    }
}

TEST(ReportPrintout, HeadingPresetAndValueTexts) {
    PrintRequest r;
    r.label = "ЦРБ Береговая   ";
    EXPECT_EQ(maintenance::printHeading(r), "ЦРБ Береговая");
    r.headingYear = 2026;
    r.periodText = "март  ";
    EXPECT_EQ(maintenance::printHeading(r), "ЦРБ Береговая  2026г.март");
    EXPECT_EQ(maintenance::printedValue("@N6", Decimal()), "   -");
    EXPECT_EQ(maintenance::printedValue("@N8.1", Decimal::fromDouble(-2.25)), "    -2.3");
    EXPECT_EQ(maintenance::printedValue("@N6", Decimal::fromDouble(1234567.5)), "1234567.5");
}

}  // namespace
