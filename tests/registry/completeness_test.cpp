#include "analysis/spreadsheet_export.h"
#include "registry/completeness.h"

#include "../support/page_texts.h"
#include "platform/desktop_opener.h"
#include "platform/number_format.h"
#include "platform/scripted_interaction.h"
#include "submission_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace tavir::registry {
namespace {

using fixture::SubmissionInstallation;

// A row as "code|name|counts".
std::vector<std::string> rows(const CompletenessTable& t) {
    std::vector<std::string> out;
    for (const auto& r : t.rows) {
        std::string line = (r.total ? std::string() : platform::formatNumber(r.code)) + "|" + r.name + "|";
        for (size_t k = 0; k < r.counts.size(); ++k) line += (k ? " " : "") + platform::formatNumber(r.counts[k]);
        out.push_back(line);
    }
    return out;
}

std::vector<int> forms(const CompletenessTable& t) {
    std::vector<int> out;
    for (const auto& c : t.columns) out.push_back(c.form);
    return out;
}

// Form 16 monthly, 62 quarterly, 30 annual, 13 switched off, 0 never counted.
class Completeness : public ::testing::Test {
protected:
    Completeness() {
        inst.setForms({SubmissionInstallation::form(62, "62", "Сведения о выполнении объемов", 2),
                       SubmissionInstallation::form(16, "016/у", "Сведения о движении пациентов", 1),
                       SubmissionInstallation::form(30, "30", "Сведения об организации", 0),
                       SubmissionInstallation::form(13, "13", "Сведения о прерывании беременности", 1, 1),
                       SubmissionInstallation::form(0, "0", "Служебная", 0)});
        for (int month : {1, 2, 3}) inst.report(16, month, 310, 5, 3);
        inst.report(16, 2, 320, 5);
        inst.report(16, 1, 410, 101);
        inst.report(16, 1, 900, 201);
        inst.report(16, 2, 910, 201);
        inst.report(62, 1, 330, 6);
        inst.report(62, 2, 330, 6);
        inst.report(62, 3, 310, 5);
        inst.report(30, 0, 310, 5);
        inst.report(13, 1, 310, 5);
        inst.report(0, 0, 310, 5);
    }
    CompletenessTable count(int64_t low, int64_t high, CompletenessBy by) {
        CompletenessTable t;
        EXPECT_TRUE(countCompleteness(inst.installation(), SubmissionInstallation::kYear, low, high, by, t));
        return t;
    }
    SubmissionInstallation inst;
};

TEST(CompletenessPeriods, RangeOfEachPeriodType) {
    struct Case {
        int type;
        int64_t low, high;
        std::optional<std::pair<int64_t, int64_t>> range;
    };
    const std::vector<Case> cases = {
        {0, 4, 6, {{0, 0}}},   {4, 4, 6, {{0, 0}}},    {1, 4, 6, {{4, 6}}},   {5, 82000, 82010, {{82000, 82010}}},
        {2, 4, 6, {{1, 2}}},   {2, 1, 2, std::nullopt}, {2, 1, 3, {{0, 1}}},  {3, 1, 5, {{0, 0}}},
        {3, 5, 6, {{0, 1}}},   {3, 11, 12, {{1, 2}}},  {7, 1, 12, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto r = formPeriods(c.type, c.low, c.high);
        ASSERT_EQ(r.has_value(), c.range.has_value()) << c.type << " " << c.low << "-" << c.high;
        if (r) {
            EXPECT_EQ(std::pair(r->from, r->to), *c.range) << c.type << " " << c.low << "-" << c.high;
        }
    }
}

// One count per facility and period however many rows a report has; the
// regional facilities (district 201) on rows of their own; the switched-off
// form and form 0 never counted.
TEST_F(Completeness, ByDistrictsAndByFacilities) {
    const CompletenessTable byDistricts = count(1, 3, CompletenessBy::Districts);
    EXPECT_EQ(forms(byDistricts), (std::vector<int>{16, 30, 62}));
    EXPECT_EQ(byDistricts.columns[0].code, "016/у");
    EXPECT_EQ(rows(byDistricts), (std::vector<std::string>{
                                     "|Всего отчетов|7 1 1",
                                     "5|Береговой|4 1 0",
                                     "6|Озерный|0 0 1",
                                     "101|Тарвин|1 0 0",
                                     "900|Областная клиническая больница|1 0 0",
                                     "910|Областной онкологический диспансер|1 0 0",
                                 }));
    EXPECT_EQ(byDistricts.rowCount(), 5u);

    EXPECT_EQ(rows(count(1, 3, CompletenessBy::Facilities)),
              (std::vector<std::string>{
                  "|Всего отчетов|7 1 1",
                  "310|Береговой Береговая ЦРБ|3 1 0",
                  "320|Береговой Мысовая участковая больница|1 0 0",
                  "330|Озерный Озерная ЦРБ|0 0 1",
                  "410|Тарвин Тарвинская городская больница|1 0 0",
                  "900|Областные учреждения Областная клиническая больница|1 0 0",
                  "910|Областные учреждения Областной онкологический диспансер|1 0 0",
              }));
}

// Months 4 to 6 count quarters 1 and 2; months 1 to 2 skip the quarterly
// form. Districts without a report keep a row of zeros.
TEST_F(Completeness, QuartersAndZeroRows) {
    EXPECT_EQ(rows(count(4, 6, CompletenessBy::Districts)), (std::vector<std::string>{
                                                                 "|Всего отчетов|1 2",
                                                                 "5|Береговой|1 0",
                                                                 "6|Озерный|0 2",
                                                                 "101|Тарвин|0 0",
                                                                 "201|Областные учреждения|0 0",
                                                             }));
    EXPECT_EQ(forms(count(1, 2, CompletenessBy::Districts)), (std::vector<int>{16, 30}));
    // "по ЛПУ" has no zero rows.
    EXPECT_EQ(count(4, 6, CompletenessBy::Facilities).rows.size(), 3u);
}

TEST_F(Completeness, ThirtyFirstFormNotCounted) {
    std::vector<data::Forma> many;
    for (int f = 101; f <= 131; ++f) many.push_back(SubmissionInstallation::form(f, std::to_string(f), "Форма", 0));
    inst.setForms(many);
    for (int f = 101; f <= 131; ++f) inst.report(f, 0, 310, 5);
    const CompletenessTable t = count(1, 1, CompletenessBy::Facilities);
    ASSERT_EQ(t.columns.size(), 30u);
    EXPECT_EQ(t.columns.back().form, 130);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].counts, std::vector<int>(30, 1));
    EXPECT_EQ(t.rows[1].counts, std::vector<int>(30, 1));
}

TEST_F(Completeness, WindowRaisesTheUpperBoundAndReportsAMissingFile) {
    platform::ScriptedInteraction ui;
    CompletenessWindow window(inst.installation(), ui, inst.state);
    window.setBounds(4, 2);
    ASSERT_TRUE(window.run(std::time_t{0}));
    EXPECT_EQ(window.high(), 4);
    EXPECT_EQ(window.table().low, 4);
    EXPECT_EQ(window.table().year, SubmissionInstallation::kYear);

    // The year entry moves the working year and the window's count with it.
    window.setYear(2025);
    EXPECT_EQ(inst.state.globYear, 2025);
    EXPECT_TRUE(window.table().rows.empty());
    EXPECT_FALSE(window.run(std::time_t{0}));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("2025"), std::string::npos) << ui.messages()[0];

    window.setYear(SubmissionInstallation::kYear);
    std::filesystem::remove(inst.valueFile(62));
    EXPECT_FALSE(window.run(std::time_t{0}));
    EXPECT_NE(ui.messages().back().find("F0062.dat"), std::string::npos) << ui.messages().back();
}

TEST_F(Completeness, ExportToRasCellByCell) {
    inst.templateWorkbook("RAS");
    platform::ScriptedInteraction ui;
    CompletenessWindow window(inst.installation(), ui, inst.state);
    window.setBounds(4, 6);
    ASSERT_TRUE(window.run(std::time(nullptr)));
    platform::RecordingDesktopOpener opener;
    platform::SpreadsheetServer server(opener);
    std::filesystem::path copy;
    ASSERT_TRUE(window.exportTable(server, &copy));
    EXPECT_EQ(copy, analysis::workCopyFolder(inst.installation()) / "1.xlsx");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Выгрузка в Excel завершена"});

    const fixture::Sheet sheet(copy);
    EXPECT_EQ(sheet.text(3, 1), "Шаблон");
    EXPECT_EQ(sheet.text(1, 1), "Информация о количестве сданных отчетов за4 месяц");
    EXPECT_EQ(sheet.text(9, 1), "Регион");
    EXPECT_TRUE(sheet.empty(8, 2));
    EXPECT_EQ(sheet.number(8, 3), 30);
    EXPECT_EQ(sheet.number(8, 4), 62);
    EXPECT_EQ(sheet.number(9, 3), 30);  // the code text "30" reads as a number
    EXPECT_EQ(sheet.text(10, 1), "Всего отчетов");
    EXPECT_TRUE(sheet.empty(10, 2));
    EXPECT_EQ(sheet.number(10, 3), 1);
    EXPECT_EQ(sheet.number(10, 4), 2);
    EXPECT_EQ(sheet.text(12, 1), "Озерный");
    EXPECT_EQ(sheet.number(12, 2), 6);
    EXPECT_EQ(sheet.number(12, 3), 0);
    EXPECT_EQ(sheet.number(12, 4), 2);
    EXPECT_EQ(sheet.text(14, 1), "Областные учреждения");
    EXPECT_TRUE(sheet.empty(15, 1));
    // The border grid from R8C1 to the last row, column 2 + columns.
    EXPECT_TRUE(sheet.format(8, 1).thinTop);
    EXPECT_TRUE(sheet.format(14, 4).thinRight);
    EXPECT_FALSE(sheet.format(14, 5).thinTop);
    EXPECT_FALSE(sheet.format(15, 1).thinTop);
}

// The title with the lower month, year and stamp; form numbers and code
// texts; a count of 0 printed blank, others after a blank; at most 22 columns.
TEST_F(Completeness, Printout) {
    platform::ScriptedInteraction ui;
    CompletenessWindow window(inst.installation(), ui, inst.state);
    window.setBounds(4, 6);
    ASSERT_TRUE(window.run(std::time(nullptr)));
    const std::vector<std::string> texts = fixture::pageTexts(completenessPrintout(window.table()));
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 4),
              (std::vector<std::string>{"Информация о количестве сданных отчетов за", "4", "2026г.", "месяц"}));
    EXPECT_EQ(texts[4], window.table().stamp);
    const std::vector<std::string> body(texts.begin() + 5, texts.end());
    EXPECT_EQ(body, (std::vector<std::string>{" ", "30", "62", "30", "62", "Всего отчетов", " 1", " 2", "Береговой",
                                              " 1", "", "Озерный", "", " 2", "Тарвин", "", "",
                                              "Областные учреждения", "", ""}));

    // Beyond 22 columns nothing is printed; a name of 30 characters wraps in
    // a taller band.
    CompletenessTable wide;
    for (int k = 0; k < 30; ++k) wide.columns.push_back({k + 1, "Ф"});
    wide.rows.push_back({0, "Всего отчетов", std::vector<int>(30, 1), 0, true});
    const std::string longName = "Областная клиническая больница";
    wide.rows.push_back({900, longName, std::vector<int>(30, 1), 201, false});
    const platform::Document doc = completenessPrintout(wide);
    const auto wideTexts = fixture::pageTexts(doc);
    EXPECT_EQ(std::count(wideTexts.begin(), wideTexts.end(), " 1"), 44);
    int shortHeight = 0, longHeight = 0;
    for (const auto& item : doc.pages[0].items) {
        const auto* t = std::get_if<platform::TextItem>(&item);
        if (t && t->text == "Всего отчетов") shortHeight = t->h;
        if (t && t->text == longName) longHeight = t->h;
    }
    EXPECT_GT(shortHeight, 0);
    EXPECT_EQ(longHeight, 2 * shortHeight);
}

}  // namespace
}  // namespace tavir::registry
