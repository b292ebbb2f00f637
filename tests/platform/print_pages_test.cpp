#include "platform/print_pages.h"

#include <gtest/gtest.h>

using namespace tavir::platform;

namespace {

Band lineBand(const std::string& text, int height = 200) {
    Band band;
    band.height = height;
    band.text(0, 1000, text);
    return band;
}

// The texts of a page's text items, in order.
std::vector<std::string> texts(const Page& page) {
    std::vector<std::string> out;
    for (const PageItem& item : page.items) {
        if (const auto* text = std::get_if<TextItem>(&item)) out.push_back(text->text);
    }
    return out;
}

const TextItem& textItem(const Page& page, size_t index) { return std::get<TextItem>(page.items.at(index)); }

}  // namespace

TEST(PrintPages, A4InBothOrientations) {
    PageSetup portrait;
    PageSetup landscape{Orientation::Landscape};
    EXPECT_EQ(portrait.paperWidth(), 8268);
    EXPECT_EQ(portrait.paperHeight(), 11693);
    EXPECT_EQ(landscape.paperWidth(), 11693);
    EXPECT_EQ(landscape.paperHeight(), 8268);
    EXPECT_EQ(landscape.bodyWidth(), 11693 - 800);
}

TEST(PrintPages, BandsRunDownThePageAndBreakWhenTheyDoNotFitAboveTheFooter) {
    PageSetup setup;
    setup.marginTop = 500;
    setup.marginLeft = 300;
    PageBuilder builder(setup);
    builder.setRepeatedHeading({lineBand("Шапка", 300)});
    builder.setFooter(400, [](int page) { return lineBand("Лист " + std::to_string(page), 400); });
    // Body: from 500 to 11693 - 400 - 400 = 10893; the heading takes 300.
    // 10093 units are left for 2000-unit bands: five per page.
    for (int i = 1; i <= 7; ++i) {
        Band band = lineBand("Строка " + std::to_string(i), 2000);
        band.line(0, 2000, 1000, 2000);
        builder.add(band);
    }
    Document document = builder.finish();

    ASSERT_EQ(document.pages.size(), 2u);
    EXPECT_EQ(texts(document.pages[0]), (std::vector<std::string>{"Шапка", "Строка 1", "Строка 2", "Строка 3",
                                                                   "Строка 4", "Строка 5", "Лист 1"}));
    EXPECT_EQ(texts(document.pages[1]), (std::vector<std::string>{"Шапка", "Строка 6", "Строка 7", "Лист 2"}));

    const Page& first = document.pages[0];
    EXPECT_EQ(textItem(first, 0).x, 300);
    EXPECT_EQ(textItem(first, 0).y, 500);
    EXPECT_EQ(textItem(first, 1).y, 800);
    const auto& rule = std::get<LineItem>(first.items.at(2));
    EXPECT_EQ(rule.x1, 300);
    EXPECT_EQ(rule.x2, 1300);
    EXPECT_EQ(rule.y1, 2800);
    const TextItem& footer = std::get<TextItem>(first.items.back());
    EXPECT_EQ(footer.y, 11693 - 400 - 400);
    EXPECT_EQ(textItem(document.pages[1], 1).y, 800);
}

TEST(PrintPages, LineLimitAndExplicitBreaks) {
    PageBuilder builder;
    builder.setLineLimit(2);
    for (int i = 1; i <= 5; ++i) builder.add(lineBand(std::to_string(i)));
    EXPECT_EQ(builder.pageCount(), 2);
    EXPECT_EQ(builder.linesOnPage(), 2);
    builder.newPage();
    builder.newPage();
    Band wide = lineBand("6");
    wide.lines = 3;
    builder.add(wide);
    EXPECT_EQ(builder.linesOnPage(), 3);
    // A break asked for after the last band adds no empty page.
    builder.newPage();
    Document document = builder.finish();
    ASSERT_EQ(document.pages.size(), 3u);
    // More than two lines on a page begin the next one: three bands fit.
    EXPECT_EQ(texts(document.pages[0]), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(texts(document.pages[1]), (std::vector<std::string>{"4", "5"}));
    EXPECT_EQ(texts(document.pages[2]), (std::vector<std::string>{"6"}));
}

TEST(PrintPages, HeadingChangedMidwayAndEdgeCases) {
    PageBuilder builder;
    builder.add(lineBand("Т 1000"));
    builder.setRepeatedHeading({lineBand("1 2 3")});
    builder.newPage();
    builder.add(lineBand("строка"));
    // A band taller than the body is placed on a page of its own, once.
    builder.add(lineBand("высокая", 20000));
    builder.add(lineBand("после"));
    Document document = builder.finish();
    ASSERT_EQ(document.pages.size(), 4u);
    EXPECT_EQ(texts(document.pages[0]), (std::vector<std::string>{"Т 1000"}));
    EXPECT_EQ(texts(document.pages[1]), (std::vector<std::string>{"1 2 3", "строка"}));
    EXPECT_EQ(texts(document.pages[2]), (std::vector<std::string>{"1 2 3", "высокая"}));
    EXPECT_EQ(texts(document.pages[3]), (std::vector<std::string>{"1 2 3", "после"}));

    // Nothing printed still gives a page, with its footer.
    PageBuilder empty;
    empty.setFooter(200, [](int page) { return lineBand("Лист " + std::to_string(page)); });
    Document blank = empty.finish();
    ASSERT_EQ(blank.pages.size(), 1u);
    EXPECT_EQ(texts(blank.pages[0]), (std::vector<std::string>{"Лист 1"}));
}

TEST(PrintPages, EstimatedLinesOfWrappedText) {
    const Font font;  // 10 pt: 138.9 units to the em
    EXPECT_EQ(estimateLines("", 1000, font), 1);
    EXPECT_EQ(estimateLines("Итого", 1000, font), 1);
    EXPECT_EQ(estimateLines("первая\nвторая", 5000, font), 2);
    // Widths count characters, not the two bytes of a Cyrillic letter:
    // 30 letters of about 0.6 em fit in 2600 units.
    const std::string name = "Центральнаярайоннаябольницаооо";
    EXPECT_EQ(estimateLines(name, 2600, font), 1);
    // A word longer than the box is broken, not left to overflow.
    EXPECT_EQ(estimateLines(name, 1300, font), 2);
    EXPECT_EQ(estimateLines("Участковая больница села Верхние Луга", 1500, font), 3);
    Font bold = font;
    bold.bold = true;
    EXPECT_GE(estimateLines("Участковая больница села Верхние Луга", 1500, bold), 3);
    EXPECT_GT(lineHeight(font), 1000 * 10 / 72);

    Band band = textBand("Участковая больница села Верхние Луга", 1500, font, Align::Center);
    EXPECT_EQ(band.lines, 3);
    EXPECT_EQ(band.height, 3 * lineHeight(font));
    ASSERT_EQ(band.items.size(), 1u);
    const TextItem& item = std::get<TextItem>(band.items[0]);
    EXPECT_EQ(item.h, band.height);
    EXPECT_TRUE(item.wordWrap);
    EXPECT_EQ(item.align, Align::Center);
}
