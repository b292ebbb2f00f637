#include "controls/interform_run.h"

#include "controls_fixture.h"
#include "platform/number_format.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

using namespace tavir;
using namespace tavir::controls;
using namespace tavir::fixture;

namespace {

data::ContrStr interformRule(int64_t number, int relation, std::vector<std::array<int, 3>> terms) {
    data::ContrStr r;
    r.UNICOD = number;
    r.SNAK = relation;
    int k = 0;
    for (auto [form, row, index] : terms) {
        r.S1[k++] = form;
        r.S1[k++] = row;
        r.S1[k++] = index;
    }
    return r;
}

// Forms 12 and 30. Rule 5: form 12 row 5 value 3 minus form 30 row 8 value 1,
// equal to zero; rule 6 the same, above zero.
//   501 (district 5): 40 in form 12 (month 3), 40 in form 30
//   503 (district 5): 10 in form 12 in months 1 and 2, 30 in form 30
//   502 (district 5): no record of the rule's rows
//   701 (district 7): 7 in form 12
class Interform : public ::testing::Test {
protected:
    void SetUp() override {
        fx.regions({{7, "Озерный"}, {5, "Береговой"}});
        fx.facilities({InstallationFixture::facility(501, 5, "Больница А"),
                       InstallationFixture::facility(503, 5, "Участковая больница с очень длинным названием"),
                       InstallationFixture::facility(502, 5, "Больница Б"),
                       InstallationFixture::facility(701, 7, "Озерная ЦРБ")});
        YearFiles y;
        y.forms = {InstallationFixture::form(12, "12", "Ф12", 1), InstallationFixture::form(30, "30", "Ф30", 0)};
        std::vector<std::array<int, 3>> many;
        for (int i = 1; i <= 27; ++i) many.push_back({12, 5, i});
        y.interformRules = {interformRule(5, 1, {{12, 5, 3}, {30, -8, 1}}),
                            interformRule(6, 2, {{12, 5, 3}, {30, -8, 1}}),
                            interformRule(7, 1, {{12, 5, 3}, {12, 5, -4}}),
                            interformRule(8, 1, {{12, 6, 1}, {12, 6, 2}, {12, -6, 3}}),
                            interformRule(9, 3, many), interformRule(10, 1, {{12, 9, 1}, {30, -9, 1}})};
        writeYear(fx, y);
        fx.write(fx.installation().valueFile(kYear, 12),
                 std::vector<data::Otchet>{value(5, 501, 1, 3, 5, {0, 0, 40, 1}), value(5, 503, 1, 1, 5, {0, 0, 10}),
                                           value(5, 503, 1, 2, 5, {0, 0, 10}), value(7, 701, 1, 3, 5, {0, 0, 7}),
                                           value(5, 502, 1, 3, 6, {0.1, 0.2, 0.3})});
        fx.write(fx.installation().valueFile(kYear, 30),
                 std::vector<data::Otchet>{value(5, 501, 1, 0, 8, {40}), value(5, 503, 1, 0, 8, {30})});
        fx.text("SpisMF.TXT", {"005Сверка выписанных ф.12 и ф.30", "Ф12 с5 г3 = Ф30 с8 г1",
                               "006Выписанных больше", "Ф12 с5 г3 > Ф30 с8 г1", "077Нет такого", "Ф1 = Ф2"});
    }

    entry::ChooserContext context() { return entry::ChooserContext{fx.installation(), ui, kYear, {}}; }

    // "code name mark sum text" of each violating subject.
    std::vector<std::string> run(int64_t rule, InterformScope scope, entry::Choice district = {},
                                 entry::Choice facility = {}) {
        std::vector<InterformResult> results;
        bool found = false;
        EXPECT_TRUE(runInterform(context(), rule, scope, district, facility, results, found).isOk());
        EXPECT_TRUE(found);
        std::vector<std::string> out;
        for (const auto& r : results) {
            out.push_back(std::to_string(r.code) + " " + r.name + " " + r.mark + " " + platform::formatNumber(r.sum) +
                          " " + r.text);
        }
        return out;
    }

    InstallationFixture fx;
    platform::ScriptedInteraction ui;
};

TEST_F(Interform, TwoFormsThatBalance) {
    // 501: 40 - 40 = 0 passes "= 0" and fails "> 0".
    EXPECT_EQ(run(5, InterformScope::Facility, {}, {501, "Больница А"}), std::vector<std::string>{});
    EXPECT_EQ(run(6, InterformScope::Facility, {}, {501, "Больница А"}),
              (std::vector<std::string>{"501 Береговой Больница А ОШИБКА 0 +(Ф12)40-(Ф30)40"}));
}

TEST_F(Interform, FacilitiesMetInTheRecords) {
    // Every month of 503 counts (10 + 10 - 30); 502 reported none of the rows
    // and gets no result even though "> 0" fails on zeros.
    EXPECT_EQ(run(6, InterformScope::Facilities),
              (std::vector<std::string>{"501 Береговой Больница А ОШИБКА 0 +(Ф12)40-(Ф30)40",
                                        "503 Береговой Участковая больница с оче ОШИБКА -10 +(Ф12)10+(Ф12)10-(Ф30)30"}));
}

TEST_F(Interform, DistrictsAndRegion) {
    EXPECT_EQ(run(5, InterformScope::Districts),
              (std::vector<std::string>{"5 Береговой ОШИБКА -10 +(Ф12)10+(Ф12)10+(Ф12)40-(Ф30)40-(Ф30)30",
                                        "7 Озерный ОШИБКА 7 +(Ф12)7"}));
    EXPECT_EQ(run(5, InterformScope::District, {7, "Озерный"}), (std::vector<std::string>{"7 Озерный ОШИБКА 7 +(Ф12)7"}));
    EXPECT_EQ(run(5, InterformScope::Region), (std::vector<std::string>{"0 Тарвинская область ОШИБКА -3 "}));
}

TEST_F(Interform, OneRowWithTwoValueIndexes) {
    EXPECT_EQ(run(7, InterformScope::Facility, {}, {501, ""}),
              (std::vector<std::string>{"501 Береговой Больница А ОШИБКА 39 -(Ф12)1+(Ф12)40"}));
}

TEST_F(Interform, EqualityWithinTheTolerance) {
    // 0.1 + 0.2 - 0.3 is exactly 0, as typed, though not in binary floating point.
    EXPECT_EQ(run(8, InterformScope::Facilities), std::vector<std::string>{});
}

// A thousand reports of 0.1 balance 100 exactly, as the values were typed.
TEST_F(Interform, ManyDecimalTermsBalanceExactly) {
    {
        data::RecordFile<data::Otchet> f12(fx.installation().valueFile(kYear, 12));
        ASSERT_TRUE(f12.open().isOk());
        platform::Transaction tx(f12);
        for (int facility = 1000; facility < 2000; ++facility) {
            data::Otchet o = value(5, facility, 1, 1, 9, {0.1});
            ASSERT_TRUE(f12.add(o).isOk());
        }
        ASSERT_TRUE(tx.commit().isOk());
        data::RecordFile<data::Otchet> f30(fx.installation().valueFile(kYear, 30));
        ASSERT_TRUE(f30.open().isOk());
        data::Otchet o = value(5, 501, 1, 0, 9, {100});
        ASSERT_TRUE(f30.add(o).isOk());
    }
    EXPECT_EQ(run(10, InterformScope::Region), std::vector<std::string>{});
}

TEST_F(Interform, RuleDataMessages) {
    std::vector<InterformResult> results;
    bool found = true;
    ASSERT_TRUE(runInterform(context(), 77, InterformScope::Region, {}, {}, results, found).isOk());
    EXPECT_FALSE(found);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Контроль не найден"}));

    // 27 value indexes of one row: the 26th and 27th are dropped.
    ui = {};
    std::optional<InterformRule> rule;
    ASSERT_TRUE(readInterformRule(fx.installation(), kYear, 9, ui, rule).isOk());
    ASSERT_TRUE(rule);
    ASSERT_EQ(rule->groups.size(), 1u);
    EXPECT_EQ(rule->groups[0].indexes.size(), 25u);
    EXPECT_EQ(rule->groups[0].indexes.back(), 25);
    EXPECT_EQ(ui.messages(), (std::vector<std::string>(2, "ПЕРЕПОЛНЕНИЕ ГРАФ")));
}

TEST_F(Interform, GroupsSortedByFormRowAndIndex) {
    platform::ScriptedInteraction local;
    auto groups = groupInterformTerms(interformRule(1, 1, {{30, 8, 2}, {12, -5, 3}, {30, 8, -1}, {12, 4, 1}}), local);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].form, 12);
    EXPECT_EQ(groups[0].row, 4);
    EXPECT_EQ(groups[1].row, 5);
    EXPECT_EQ(groups[1].indexes, std::vector<int>{-3});
    EXPECT_EQ(groups[2].indexes, (std::vector<int>{-1, 2}));
}

TEST_F(Interform, ListWindow) {
    InterformListWindow w(context());
    ASSERT_TRUE(w.open().isOk());
    ASSERT_EQ(w.entries().size(), 3u);
    EXPECT_EQ(w.entries()[0].number, 5);
    EXPECT_EQ(w.entries()[0].name, "Сверка выписанных ф.12 и ф.30");
    EXPECT_EQ(w.entries()[1].formula, "Ф12 с5 г3 > Ф30 с8 г1");
    EXPECT_EQ(w.scope, InterformScope::Facilities);

    std::optional<InterformResultsWindow> results;
    ASSERT_TRUE(w.control(results).isOk());  // no rule selected yet
    EXPECT_FALSE(results);

    w.select(1);
    EXPECT_EQ(w.currentFormula(), "Ф12 с5 г3 > Ф30 с8 г1");
    ASSERT_TRUE(w.control(results).isOk());
    ASSERT_TRUE(results);
    EXPECT_EQ(results->formula(), "Ф12 с5 г3 > Ф30 с8 г1");
    EXPECT_EQ(results->name(), "Выписанных больше");
    ASSERT_EQ(results->results().size(), 2u);
    results->select(1);
    EXPECT_EQ(results->selectedText(), "+(Ф12)10+(Ф12)10-(Ф30)30");

    // No violator: the window opens all the same.
    w.select(0);
    w.scope = InterformScope::Facility;
    ui.answerPick(0);  // district 5
    ui.answerPick(0);  // 501
    ASSERT_TRUE(w.control(results).isOk());
    ASSERT_TRUE(results);
    EXPECT_TRUE(results->results().empty());
    EXPECT_EQ(w.facilityName(), "Больница А");

    w.select(2);
    w.scope = InterformScope::Region;
    ASSERT_TRUE(w.control(results).isOk());
    EXPECT_FALSE(results);
    EXPECT_FALSE(w.selected());
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{"Контроль не найден"}));
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(Interform, CancelledChoices) {
    InterformListWindow w(context());
    ASSERT_TRUE(w.open().isOk());
    w.select(1);
    std::optional<InterformResultsWindow> results;
    // Scope 1 without a facility: a beep, then every facility.
    w.scope = InterformScope::Facility;
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(w.control(results).isOk());
    EXPECT_EQ(ui.beeps(), 1);
    ASSERT_TRUE(results);
    EXPECT_EQ(results->results().size(), 2u);
    // Scope 3 without a district: a beep and nothing runs.
    w.scope = InterformScope::District;
    ui.answerPick(std::nullopt);
    ASSERT_TRUE(w.control(results).isOk());
    EXPECT_EQ(ui.beeps(), 2);
    EXPECT_FALSE(results);
    EXPECT_TRUE(ui.unexpected().empty());
}

}  // namespace
