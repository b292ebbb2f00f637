#include "controls/printouts.h"

#include "controls_fixture.h"

#include <gtest/gtest.h>

using namespace tavir;
using namespace tavir::controls;
using fixture::pageTexts;

namespace {

TEST(ControlPrintouts, ErrorListCutsTextsAtTwoHundred) {
    ErrorListWindow window(2014, {ErrorLine{"1", 1, {}, std::string(300, 'x'), 3}});
    EXPECT_EQ(pageTexts(errorListPrintout(window)),
              (std::vector<std::string>{"!!", "НЕ ВЫПОЛНЕН КОНТРОЛЬ ", std::string(200, 'x')}));
}

TEST(ControlPrintouts, RunResultsRepeatTheirHeadings) {
    std::vector<RunResultLine> lines;
    for (int i = 0; i < 120; ++i) lines.push_back({10, 501, "Больница " + std::to_string(i), 12, {}, "т1г2с1 (0)? (3)c2", 5});
    const auto document = runResultsPrintout(RunResultsWindow("", "", lines));
    ASSERT_GT(document.pages.size(), 1u);
    const auto texts = pageTexts(document);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
              (std::vector<std::string>{"форма", "контроль", "12", "Больница 0", "т1г2с1 (0)? (3)c2"}));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "форма"), static_cast<long>(document.pages.size()));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "12"), 120);
}

TEST(ControlPrintouts, Interform) {
    InterformResultsWindow window({1, "Сверка", "Ф12 = Ф30"}, {{501, "Береговой Больница А", "ОШИБКА", -12.5, "+(Ф12)1"}});
    EXPECT_EQ(pageTexts(interformPrintout(window)),
              (std::vector<std::string>{"!!", "Ф12 = Ф30", "Береговой Больница А", "-12.5", "+(Ф12)1"}));
}

TEST(ControlPrintouts, ControlListWithSectionsAndSheetNumbers) {
    ControlListPrint print{2014, 12, "Сведения", {}};
    print.sections.push_back({{{1, "3", "по стр.     г4 >=г-3"}}});
    ControlListPrint::Section rows;
    for (int i = 0; i < 100; ++i) rows.lines.push_back({2, "1234", "по гр.0 c1=c2"});
    print.sections.push_back(rows);
    const auto document = controlListPrintout(print);
    ASSERT_GE(document.pages.size(), 2u);
    const auto texts = pageTexts(document);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 10),
              (std::vector<std::string>{"2014", "Форма", "12", "Сведения", "Табл.", "Контроль", "Код", "1", "3",
                                        "по стр.     г4 >=г-3"}));
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Лист 1"), texts.end());
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Табл."), 2);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Лист 2"), texts.end());
}

}  // namespace
