#include "registry/report_list.h"

#include "data/periods.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

namespace tavir::registry {
namespace {

using Strings = std::vector<std::string>;

class ReportList : public ::testing::Test {
protected:
    // Opens the window on the form at `formLine` of the chooser (12 is line 0).
    void open(int formLine = 0) {
        fx.ui.answerPick(formLine);
        bool opened = false;
        ASSERT_TRUE(window.open(opened));
        ASSERT_TRUE(opened);
    }
    Strings facilities() const {
        Strings out;
        for (const auto& e : window.entries()) out.push_back(std::to_string(e.facility));
        return out;
    }
    Strings marked() const {
        Strings out;
        for (const auto& e : window.entries()) {
            if (e.marked) out.push_back(std::to_string(e.facility));
        }
        return out;
    }
    int index(int facility) const { return *window.findCode(facility); }
    static Strings chosen(const AnalysisRequest& r) {
        Strings out;
        for (const auto& c : r.chosen) out.push_back(std::to_string(c.facility) + ":" + std::to_string(c.period));
        return out;
    }

    fixture::RegistryInstallation fx;
    ReportListWindow window{fx.installation(), fx.state, fx.ui};
};

TEST_F(ReportList, OpeningListsTheLatestPeriodOncePerReportWithItsNames) {
    open();
    EXPECT_EQ(window.caption(), "12 Сведения о заболеваемости");
    EXPECT_EQ(window.lower(), 3);
    EXPECT_EQ(window.upper(), 3);
    // Sorted by district, kind, facility; 310 is stored under three rows.
    EXPECT_EQ(facilities(), (Strings{"20000", "20001", "21005", "310", "320", "330", "340", "720", "999", "710",
                                     "21009", "21101", "1010", "2010"}));
    EXPECT_EQ(window.entries().back().number, 14);
    EXPECT_EQ(fx.ui.messages(), Strings{"Неверен регион-код лпу720"});
    EXPECT_TRUE(window.offersColumnKindSwitch());
    EXPECT_EQ(window.markedCount(), 0);

    struct Names {
        int facility;
        const char* district;
        const char* kind;
        const char* settlement;
        const char* name;
    };
    for (const Names& n : {Names{20000, "Тарвинская ", "", "", " область"},
                           Names{20001, "Районы ", "", "", " области"},
                           Names{21005, "Береговой", " район", "", " район"},
                           Names{21009, "???", " район", "", " район"},
                           Names{21101, "Тарвин", " город", "", " город"},
                           Names{999, "", "", "", "uch999reg7"},
                           Names{720, "Береговой", "Поликлиника", "город", "Озерная поликлиника"},
                           Names{330, "Береговой", "Участковая больница", "село*", "участковая больница Бор"}}) {
        const ReportListEntry& e = window.entries()[index(n.facility)];
        EXPECT_EQ(e.districtName, n.district) << n.facility;
        EXPECT_EQ(e.kindName, n.kind) << n.facility;
        EXPECT_EQ(e.settlement, n.settlement) << n.facility;
        EXPECT_EQ(e.facilityName, n.name) << n.facility;
    }
    // The entry keeps its stored district.
    EXPECT_EQ(window.entries()[index(720)].district, 5);

    Strings districts, kinds;
    for (const auto& c : window.districtChoices()) districts.push_back(std::to_string(c.code) + " " + c.name);
    for (const auto& c : window.kindChoices()) kinds.push_back(std::to_string(c.code) + " " + c.name);
    EXPECT_EQ(districts, (Strings{"0 Тарвинская область", "5 Береговой", "7 Озерный", "101 Тарвин", "102 Ольмов",
                                  "201 Областные учреждения", "300 Районы", "400 Тарвин+Ольмов", "500 Муниципальные"}));
    EXPECT_EQ(kinds, (Strings{"0 Все виды ЛПУ", "1 ЦРБ", "2 Участковая больница", "3 Поликлиника"}));
    EXPECT_TRUE(fx.ui.unexpected().empty());
}

TEST_F(ReportList, FiltersRemarkTheWholeList) {
    open();
    window.chooseDistrict(kRuralDistricts);
    EXPECT_EQ(marked(), (Strings{"20000", "20001", "21005", "310", "320", "330", "340", "720", "999", "710", "21009"}));
    window.chooseDistrict(kCities);
    EXPECT_EQ(marked(), (Strings{"21101", "1010"}));
    window.chooseDistrict(kMunicipalDistricts);
    EXPECT_EQ(window.markedCount(), 13);
    window.chooseDistrict(5);
    EXPECT_EQ(marked(), (Strings{"21005", "310", "320", "330", "340", "720"}));
    EXPECT_EQ(window.regionText(), "Береговой");
    window.chooseKind(2);
    EXPECT_EQ(marked(), (Strings{"320", "330", "340"}));
    EXPECT_EQ(window.kindText(), "Участковая больница");

    // Back to no filter at all unmarks every entry.
    window.chooseDistrict(0);
    window.chooseKind(0);
    EXPECT_EQ(window.markedCount(), 0);
    EXPECT_EQ(window.regionText(), "Тарвинская область");

    window.setTown(false);
    EXPECT_EQ(marked(), (Strings{"20000", "20001", "21005", "310", "320", "330", "340", "999", "710", "21009",
                                 "21101"}));
    window.setTown(true);
    window.setVillage(false);
    EXPECT_EQ(marked(), (Strings{"20000", "20001", "21005", "720", "999", "21009", "21101", "1010", "2010"}));

    window.markAll();
    EXPECT_EQ(window.markedCount(), 14);
    EXPECT_TRUE(window.town() && window.village());
    window.toggle(0);
    EXPECT_EQ(window.markedCount(), 13);
    window.chooseKind(1);
    window.reset();
    EXPECT_EQ(window.markedCount(), 0);
    EXPECT_EQ(window.kindFilter(), 0);
    EXPECT_EQ(window.kindText(), "");
}

TEST_F(ReportList, SearchByCodeAndByNameWithTheFirstLetterRule) {
    open();
    EXPECT_EQ(window.findCode(710), 9);
    EXPECT_EQ(window.findCode(11), std::nullopt);
    // "Участковая" also finds "участковая", never "УЧАСТКОВАЯ"; the search
    // starts after the selected entry and wraps once.
    EXPECT_EQ(window.findName("Участковая  ", std::nullopt), index(320));
    EXPECT_EQ(window.findName("Участковая", index(320)), index(330));
    EXPECT_EQ(window.findName("Участковая", index(330)), index(320));
    EXPECT_EQ(window.findName("участковая", index(340)), index(320));
    EXPECT_EQ(window.findName("больница Лог", index(340)), index(340));
    EXPECT_EQ(window.findName("Лечебница", 0), std::nullopt);
}

TEST_F(ReportList, RequestsWithoutFilters) {
    open();
    // March to March of 2013, nothing marked: the whole region.
    auto r = window.request(Analysis::Consolidation);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->title, "2013г. март. Тарвинская область");
    EXPECT_TRUE(r->chosen.empty());
    EXPECT_EQ(r->district, 0);
    EXPECT_EQ(r->form, 12);
    EXPECT_EQ(r->formNumber, "12");
    EXPECT_EQ(r->year, 2013);
    EXPECT_EQ(r->lower, 3);
    EXPECT_EQ(r->upper, 3);
    EXPECT_EQ(window.request(Analysis::Breakdown)->title, "Тарвинская область");

    window.toggle(index(710));
    r = window.request(Analysis::Consolidation);
    EXPECT_EQ(r->title, "2013г.Озерный р-н Озерная ЦРБ(3мес)");
    EXPECT_EQ(chosen(*r), Strings{"710:3"});

    window.toggle(index(1010));
    r = window.request(Analysis::Indicators);
    EXPECT_EQ(r->title, "2013г.Озерный р-н Озерная ЦРБ(3мес);Тарвин Городская поликлиника 1(3мес)");

    window.toggle(index(310));
    r = window.request(Analysis::Consolidation);
    EXPECT_EQ(r->title, "2013г.Тарвинская область(3отчетов)");
    EXPECT_EQ(chosen(*r), (Strings{"310:3", "710:3", "1010:3"}));
    EXPECT_TRUE(fx.ui.messages().size() == 1);
}

TEST_F(ReportList, RequestsWithFilters) {
    open();
    window.setIgnoreColumnKinds(true);
    window.chooseDistrict(kRuralDistricts);
    auto r = window.request(Analysis::Consolidation);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->district, 0);
    EXPECT_EQ(r->title, "2013г. март. Районы");
    EXPECT_TRUE(r->ignoreColumnKinds);
    EXPECT_EQ(chosen(*r), (Strings{"310:3", "320:3", "330:3", "340:3", "710:3", "720:3", "999:3", "20000:3",
                                   "20001:3", "21005:3", "21009:3"}));
    EXPECT_EQ(window.request(Analysis::Breakdown)->district, 0);
    EXPECT_EQ(window.request(Analysis::Indicators)->district, kRuralDistricts);
    window.chooseDistrict(kMunicipalDistricts);
    EXPECT_EQ(window.request(Analysis::Consolidation)->district, 0);
    EXPECT_EQ(window.request(Analysis::Breakdown)->district, kMunicipalDistricts);

    // A real district: the district's reports, not a list of them.
    window.chooseDistrict(5);
    r = window.request(Analysis::Consolidation);
    EXPECT_EQ(r->district, 5);
    EXPECT_TRUE(r->chosen.empty());
    EXPECT_EQ(r->title, "2013г. март. Береговой р-н ");
    window.toggle(index(710));
    EXPECT_FALSE(window.request(Analysis::Consolidation));
    EXPECT_EQ(fx.ui.messages().back(), "Отмечены ЛПУ невходящие в Береговой регион.");

    window.chooseDistrict(101);
    window.chooseKind(3);
    r = window.request(Analysis::Breakdown);
    EXPECT_EQ(r->title, "Тарвин Поликлиника");
    EXPECT_EQ(chosen(*r), Strings{"1010:3"});

    // A kind filter with a hand-marked entry of another kind drops the kind text.
    window.chooseDistrict(0);
    window.chooseKind(1);
    window.toggle(index(320));
    r = window.request(Analysis::Breakdown);
    EXPECT_EQ(r->title, "Тарвинская область ");
    EXPECT_EQ(chosen(*r), (Strings{"310:3", "320:3", "710:3", "2010:3"}));

    // Only "Город" on, every marked entry a town: the title says so.
    window.chooseKind(3);
    window.setVillage(false);
    r = window.request(Analysis::Breakdown);
    EXPECT_EQ(r->title, "Тарвинская область Поликлиника Поликлиника город");
    // Only "Село" on with nothing left to mark.
    window.setVillage(true);
    window.setTown(false);
    EXPECT_FALSE(window.request(Analysis::Breakdown));
    EXPECT_EQ(fx.ui.messages().back(), "ТАКИХ ОТЧЕТОВ НЕТ");
}

TEST_F(ReportList, PeriodHandlingAcrossFormsAndYears) {
    open();
    window.setLower(1);
    window.setUpper(3);
    // Quarterly: lower 1, upper kept within 4.
    fx.ui.answerPick(1);
    bool stays = false;
    ASSERT_TRUE(window.changeForm(stays));
    ASSERT_TRUE(stays);
    EXPECT_TRUE(window.entries().empty());
    EXPECT_EQ(window.lower(), 1);
    EXPECT_EQ(window.upper(), 3);
    ASSERT_TRUE(window.build());
    EXPECT_EQ(facilities(), (Strings{"310", "310"}));
    EXPECT_FALSE(window.offersColumnKindSwitch());

    // Annual: no period entries, both bounds 0.
    fx.ui.answerPick(4);
    ASSERT_TRUE(window.changeForm(stays));
    ASSERT_TRUE(window.build());
    EXPECT_FALSE(window.showsPeriods());
    EXPECT_EQ(window.upper(), 0);
    EXPECT_EQ(facilities(), (Strings{"310", "710"}));
    EXPECT_EQ(window.request(Analysis::Consolidation)->title, "2013г.Тарвинская область");

    // Half-yearly after annual: the upper period 0 is unset, the empty
    // file's latest period 0 gives 1.
    fx.ui.answerPick(2);
    ASSERT_TRUE(window.changeForm(stays));
    ASSERT_TRUE(window.build());
    EXPECT_EQ(window.lower(), 1);
    EXPECT_EQ(window.upper(), 1);
    EXPECT_EQ(fx.ui.messages().back(), "отчетов нет");

    fx.ui.answerPick(std::nullopt);
    ASSERT_TRUE(window.changeForm(stays));
    EXPECT_FALSE(stays);

    fx.state.globYearE = 2014;
    window.changeYear(2016);
    EXPECT_EQ(window.year(), 2014);
    EXPECT_EQ(fx.state.globYear, 2014);
    EXPECT_EQ(fx.ui.messages().back(), "Период с 2013г. по 2014г.");
    EXPECT_TRUE(fx.ui.unexpected().empty());
}

TEST_F(ReportList, DailyFormWithoutReportsStartsYesterday) {
    window.setClock([] {
        std::tm t{};
        t.tm_year = 2013 - 1900;
        t.tm_mon = 2;
        t.tm_mday = 1;
        t.tm_hour = 12;
        return std::mktime(&t);
    });
    open(3);
    EXPECT_TRUE(window.showsDates());
    EXPECT_EQ(window.lower(), data::dayNumber(2013, 2, 28));
    EXPECT_EQ(window.periodText(*window.upper()), "28.02.13");
}

TEST_F(ReportList, YearOutsideTheRangeAndNoForm) {
    fx.state.globYear = 2015;
    fx.ui.answerPick(std::nullopt);
    bool opened = true;
    ASSERT_TRUE(window.open(opened));
    EXPECT_FALSE(opened);
    EXPECT_EQ(fx.ui.messages(), Strings{"Период с 2013г. по 2013г."});
    EXPECT_EQ(fx.state.globYear, 2013);
}

TEST(PeriodDescription, EveryRule) {
    struct Case {
        int type;
        int64_t lower, upper;
        bool handMarked;
        const char* text;
    };
    for (const Case& c : {Case{1, 3, 3, false, "2013г. март. "}, {1, 1, 12, false, "2013г. "},
                          {1, 1, 3, false, "2013г. 1квартал. "}, {1, 4, 6, false, "2013г. 2квартал. "},
                          {1, 7, 9, false, "2013г. 3квартал."}, {1, 10, 12, false, "2013г. 4квартал. "},
                          {1, 1, 6, false, "2013г. 1-е полугодие. "}, {1, 7, 12, false, "2013г. 2-е полугодие. "},
                          {1, 2, 5, false, "2013г. с февраля по май."}, {1, 3, 3, true, "2013г."},
                          {0, 0, 0, false, "2013г."}, {2, 1, 4, false, "2013г. "},
                          {2, 1, 2, false, "2013г. 1-е полугодие."}, {2, 3, 4, false, "2013г. 2-е полугодие."},
                          {2, 3, 3, false, "2013г. 3 квартал."}, {2, 2, 3, false, "2013г. с 2 квартала по 3."},
                          {3, 1, 2, false, "2013г. "}, {3, 2, 2, false, "2013г. 2-е полугодие."},
                          {4, 1, 5, false, ""}, {5, 40000, 40000, false, ""}}) {
        EXPECT_EQ(periodDescription(2013, c.type, c.lower, c.upper, c.handMarked), c.text)
            << c.type << " " << c.lower << "-" << c.upper;
    }
}

}  // namespace
}  // namespace tavir::registry
