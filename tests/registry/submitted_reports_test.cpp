#include "analysis/spreadsheet_export.h"
#include "registry/submitted_reports.h"

#include "../entry/entry_fixture.h"
#include "../support/page_texts.h"
#include "entry/report_editor.h"
#include "platform/desktop_opener.h"
#include "platform/scripted_interaction.h"
#include "submission_fixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tavir::registry {
namespace {

using fixture::SubmissionInstallation;
using platform::ScriptedInteraction;

using Line = std::tuple<int, std::string, std::string, std::string, int64_t, std::string>;

std::vector<Line> lines(const std::vector<SubmittedEntry>& entries) {
    std::vector<Line> out;
    for (const auto& e : entries) {
        out.emplace_back(e.facility, e.districtName, e.kindName, e.facilityName, e.period, e.periodText);
    }
    return out;
}

TEST(SubmittedReports, PeriodTextByPeriodType) {
    const std::vector<std::tuple<int, int64_t, std::string>> cases = {
        {0, 0, ""},          {1, 3, "3месяц"},    {1, 12, "12месяц"}, {2, 2, "2квартал"},
        {3, 1, "1полугод"},  {4, 12, "12неделя"}, {5, 82000, "01.07.25"},
    };
    for (const auto& [type, period, text] : cases) EXPECT_EQ(periodText(type, period), text) << type << " " << period;
}

// Every naming rule: pseudo-facilities, district reports, a closed facility
// ("*"), a facility, district and kind missing from the registry, a report
// stored under another district than its facility's; one entry per report
// however many rows it has; sorted by district, kind, facility, period.
TEST(SubmittedReports, EntriesNamedAndSorted) {
    SubmissionInstallation inst;
    inst.setForms({SubmissionInstallation::form(16, "016/у", "Сведения о движении пациентов", 1)});
    for (int month : {3, 1, 2}) inst.report(16, month, 310, 5, 3);
    inst.report(16, 1, 320, 5);
    inst.report(16, 1, 340, 5);
    inst.report(16, 1, 999, 5);
    inst.report(16, 1, 330, 77);
    inst.report(16, 1, 20000, 250);
    inst.report(16, 1, 20001, 251);
    inst.report(16, 1, 21005, 5);
    inst.report(16, 1, 21101, 101);
    inst.report(16, 4, 310, 5);

    std::vector<SubmittedEntry> entries;
    ASSERT_TRUE(buildSubmittedList(inst.installation(), inst.valueFile(16), 1, 1, 3, entries));
    EXPECT_EQ(lines(entries),
              (std::vector<Line>{
                  {999, "Береговой", "?vid0", "?codUch-999", 1, "1месяц"},
                  {21005, "Береговой", "район", "", 1, "1месяц"},
                  {310, "Береговой", "ЦРБ", "Береговая ЦРБ", 1, "1месяц"},
                  {310, "Береговой", "ЦРБ", "Береговая ЦРБ", 2, "2месяц"},
                  {310, "Береговой", "ЦРБ", "Береговая ЦРБ", 3, "3месяц"},
                  {320, "Береговой", "УБ", "Мысовая участковая больница*", 1, "1месяц"},
                  {340, "Береговой", "?vid7", "Береговой ФАП", 1, "1месяц"},
                  {330, "?CodReg-77", "ЦРБ", "Озерная ЦРБ", 1, "1месяц"},
                  {21101, "Тарвин", "город", "", 1, "1месяц"},
                  {20000, "Тарвинская ", "область", "", 1, "1месяц"},
                  {20001, "Районы ", "области", "", 1, "1месяц"},
              }));
    EXPECT_EQ(entries[7].district, 77);
    EXPECT_EQ(entries[7].kind, 1);
}

TEST(SubmittedReports, OpeningChecksTheYearAndTakesTheLatestPeriod) {
    SubmissionInstallation inst;
    inst.setForms({SubmissionInstallation::form(16, "016/у", "Сведения о движении пациентов", 1),
                   SubmissionInstallation::form(30, "30", "Сведения об организации", 0)});
    inst.report(16, 2, 310, 5);
    inst.report(16, 5, 330, 6);
    inst.report(30, 0, 310, 5);
    inst.state.globYear = 2031;
    ScriptedInteraction ui;
    ui.answerPick(0);
    SubmittedReportsWindow window(inst.installation(), ui, inst.state);
    bool opened = false;
    ASSERT_TRUE(window.open(opened));
    ASSERT_TRUE(opened);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Период с 2026г. по 2026г."});
    EXPECT_EQ(inst.state.globYear, 2026);
    EXPECT_EQ(window.low(), 5);
    EXPECT_EQ(window.high(), 5);
    ASSERT_EQ(window.entries().size(), 1u);
    EXPECT_EQ(window.entries()[0].facility, 330);

    window.setBounds(1, 5);
    ASSERT_TRUE(window.rebuild());
    EXPECT_EQ(window.totalText(), "Всего отчетов: 2");

    // An annual form: bounds 0, entries hidden; the list waits for "Ok".
    ui.answerPick(1);
    bool closed = true;
    ASSERT_TRUE(window.changeForm(closed));
    EXPECT_FALSE(closed);
    EXPECT_FALSE(window.periodsShown());
    EXPECT_TRUE(window.entries().empty());
    ASSERT_TRUE(window.rebuild());
    EXPECT_EQ(window.entries().size(), 1u);

    // A form with no reports in the range: "ОТЧЕТОВ НЕТ", the window stays.
    ui.answerPick(0);
    ASSERT_TRUE(window.changeForm(closed));
    EXPECT_EQ(window.low(), 5);
    window.setBounds(3, 4);
    ASSERT_TRUE(window.rebuild());
    EXPECT_EQ(ui.messages().back(), "ОТЧЕТОВ НЕТ");
    EXPECT_EQ(window.totalText(), "Всего отчетов: 0");
    platform::Document page;
    EXPECT_FALSE(window.printout(page));
    EXPECT_EQ(ui.messages().back(), "Заявка отсутствует");

    // Cancelling "ФОРМА" closes the window.
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(window.changeForm(closed));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST(SubmittedReports, MissingValueFileIsReportedWithItsPath) {
    SubmissionInstallation inst;
    inst.forms(SubmissionInstallation::kYear, {SubmissionInstallation::form(16, "016/у", "Сведения", 1)});
    ScriptedInteraction ui;
    ui.answerPick(0);
    SubmittedReportsWindow window(inst.installation(), ui, inst.state);
    bool opened = false;
    EXPECT_FALSE(window.open(opened));
    EXPECT_TRUE(opened);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("F0016.dat"), std::string::npos) << ui.messages()[0];
}

// The report opened from the list is entry's given report in the list's
// year; deleting it there takes its entry off the list, closing it without
// deleting leaves the list as it was.
TEST(SubmittedReports, ReportDeletedInEntryLeavesTheList) {
    fixture::EntryInstallation inst;
    inst.write<data::Viduch>(inst.dir() / "VIDUCH.dat", {{1, "ЦРБ"}});
    inst.store(12, {{1, 1, 1000, {5}}, {2, 1, 1000, {6}}, {3, 1, 1000, {7}}});
    app::SharedState state;
    state.globYear = state.globYearS = state.globYearE = fixture::EntryInstallation::kYear;
    ScriptedInteraction ui;
    ui.answerPick(0);  // form 12
    SubmittedReportsWindow window(inst.installation(), ui, state);
    bool opened = false;
    ASSERT_TRUE(window.open(opened));
    window.setBounds(1, 3);
    ASSERT_TRUE(window.rebuild());
    ASSERT_EQ(window.entries().size(), 3u);

    const entry::ChosenReport report = window.reportToOpen(1);
    EXPECT_TRUE(report.given);
    EXPECT_EQ(report.year, fixture::EntryInstallation::kYear);
    EXPECT_EQ(report.facility, fixture::EntryInstallation::kFacility);
    EXPECT_EQ(report.period, 2);
    EXPECT_EQ(report.periodWord, "месяц");
    EXPECT_EQ(report.formNumber, "12");

    int district = report.district;
    {
        ScriptedInteraction entryUi;
        entry::ReportEditor editor(inst.installation(), entryUi, state, report, &district);
        ASSERT_TRUE(editor.start());
        EXPECT_FALSE(editor.canChangeReport());
        editor.close();
    }
    window.reportClosed(1, district);
    EXPECT_EQ(window.entries().size(), 3u);
    {
        ScriptedInteraction entryUi;
        entryUi.answerAsk(2);  // "&ДА" to "УДАЛИТЬ ОТЧЕТ ?"
        entry::ReportEditor editor(inst.installation(), entryUi, state, report, &district);
        ASSERT_TRUE(editor.start());
        editor.deleteReport();
        EXPECT_TRUE(editor.ended());
    }
    EXPECT_EQ(district, 0);
    window.reportClosed(1, district);
    ASSERT_EQ(window.entries().size(), 2u);
    EXPECT_EQ(window.entries()[0].period, 1);
    EXPECT_EQ(window.entries()[1].period, 3);
    EXPECT_TRUE(inst.stored(12, 2).empty());
}

// The title band, the form name, the headings, per entry the district, the
// facility's first 45 characters and the kind, then the four legend lines.
TEST(SubmittedReports, Printout) {
    entry::FormChoice form{16, "Сведения о движении пациентов", "016/у", "ежемесячно", 1};
    SubmittedEntry e;
    e.districtName = "Береговой";
    e.kindName = "ЦРБ";
    e.facilityName = "Береговая центральная районная больница имени доктора Чехова";
    EXPECT_EQ(fixture::pageTexts(submittedPrintout(form, {e})),
              (std::vector<std::string>{"Список ЛПУ сдавших отчет", "Форма", "16", "Сведения о движении пациентов",
                                        "Район", "Учреждение", "Вид ЛПУ", "Береговой",
                                        "Береговая центральная районная больница имени", "ЦРБ",
                                        "  ЦРБ - Центральная районная больница", "  УБ - Участковая больница",
                                        "  РБ - Районная больница", "  ЦРП - Центральная районная поликлиника"}));
}

TEST(SubmittedReports, ExportToRas1CellByCell) {
    SubmissionInstallation inst;
    inst.templateWorkbook("RAS1");
    inst.setForms({SubmissionInstallation::form(16, "016/у", "Сведения о движении пациентов", 1)});
    inst.report(16, 1, 310, 5, 2);
    inst.report(16, 2, 320, 5);
    ScriptedInteraction ui;
    ui.answerPick(0);
    SubmittedReportsWindow window(inst.installation(), ui, inst.state);
    bool opened = false;
    ASSERT_TRUE(window.open(opened));
    window.setBounds(1, 2);
    ASSERT_TRUE(window.rebuild());

    platform::RecordingDesktopOpener opener;
    platform::SpreadsheetServer server(opener);
    std::filesystem::path copy;
    ASSERT_TRUE(window.exportList(server, &copy));
    EXPECT_EQ(copy, analysis::workCopyFolder(inst.installation()) / "1.xlsx");
    EXPECT_EQ(ui.messages().back(), "Выгрузка в Excel завершена");
    EXPECT_EQ(opener.opened(), std::vector<std::filesystem::path>{copy});

    const fixture::Sheet sheet(copy);
    EXPECT_EQ(sheet.text(3, 1), "Шаблон");
    EXPECT_EQ(sheet.text(1, 1), "016/у     Сведения о движении пациентов");
    EXPECT_EQ(sheet.text(2, 1), "СПИСОК УЧРЕЖДЕНИЙ СДАВШИХ ОТЧЕТ. За период с 1 по 2 ежемесячно");
    const std::vector<std::string> headings = {"Регион",  "Вид",         "ЛПУ",           "ежемесячно",
                                               "Код ЛПУ", "Код Региона", "Отчетный период"};
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(sheet.text(9, c), headings[c - 1]);
    EXPECT_EQ(sheet.text(10, 1), "Береговой");
    EXPECT_EQ(sheet.text(10, 2), "ЦРБ");
    EXPECT_EQ(sheet.text(10, 3), "Береговая ЦРБ");
    EXPECT_EQ(sheet.text(10, 4), "1месяц");
    EXPECT_EQ(sheet.number(10, 5), 310);
    EXPECT_EQ(sheet.number(10, 6), 5);
    EXPECT_EQ(sheet.number(10, 7), 1);
    EXPECT_EQ(sheet.text(11, 2), "УБ");
    EXPECT_EQ(sheet.text(11, 3), "Мысовая участковая больница*");
    EXPECT_EQ(sheet.number(11, 7), 2);
    EXPECT_TRUE(sheet.empty(12, 1));
    // The border grid from R9C1 to the last entry, column 3.
    EXPECT_TRUE(sheet.format(9, 1).thinTop);
    EXPECT_TRUE(sheet.format(11, 3).thinRight);
    EXPECT_FALSE(sheet.format(11, 4).thinTop);
    EXPECT_FALSE(sheet.format(12, 1).thinTop);
}

}  // namespace
}  // namespace tavir::registry
