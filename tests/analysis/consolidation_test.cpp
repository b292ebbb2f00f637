#include "analysis/consolidation.h"

#include "consolidation_fixture.h"
#include "../demo/demo_fixture.h"
#include "data/record_binding.h"

#include <gtest/gtest.h>

namespace tavir::analysis {
namespace {

using platform::Decimal;

// The three values of a row in whole units.
std::vector<int64_t> units(const Consolidation& c, int unicod) {
    const ConsolidatedRow* row = c.row(unicod);
    if (!row) return {};
    return {row->values[0].milli() / 1000, row->values[1].milli() / 1000, row->values[2].milli() / 1000};
}

TEST(Consolidation, ColumnKindsOverThePeriods) {
    ConsolidationFixture fx;
    Consolidation c;
    // Months 1 to 3: plain columns sum 1-3, "на начало года" takes month 1,
    // "на конец периода" month 3.
    ASSERT_TRUE(consolidate(fx.installation(), fx.request(1, 3), c));
    EXPECT_EQ(units(c, 1), (std::vector<int64_t>{606, 101, 303}));
    EXPECT_EQ(units(c, 2), (std::vector<int64_t>{60, 10, 30}));
    // Table 2 has no kinds: every column is plain.
    EXPECT_EQ(units(c, 9), (std::vector<int64_t>{6, 6, 6}));
    EXPECT_EQ(c.row(3), nullptr);
    EXPECT_EQ(c.rows.size(), 3u);
    EXPECT_EQ(c.rows[0].table, 1);
    EXPECT_FALSE(c.zeroCodes);
    ASSERT_EQ(c.tables.size(), 2u);
    EXPECT_EQ(c.tables[0].code, 1);
    EXPECT_EQ(c.tables[0].kinds[1], 1);

    // "без учета типа граф": every column sums months 1 to 3.
    auto plain = fx.request(1, 3);
    plain.ignoreColumnKinds = true;
    ASSERT_TRUE(consolidate(fx.installation(), plain, c));
    EXPECT_EQ(units(c, 1), (std::vector<int64_t>{606, 606, 606}));

    // Months 4 to 6: month 1 is read for the "на начало года" column only.
    ASSERT_TRUE(consolidate(fx.installation(), fx.request(4, 6), c));
    EXPECT_EQ(units(c, 1), (std::vector<int64_t>{1515, 101, 606}));
    EXPECT_EQ(units(c, 9), (std::vector<int64_t>{15, 15, 15}));
}

TEST(Consolidation, DistrictChosenReportsAndZeroCodes) {
    ConsolidationFixture fx;
    Consolidation c;
    // District 5 only, although district 7 comes first in the file (month 1
    // feeds the "на начало года" column).
    auto district = fx.request(2, 2);
    district.district = 5;
    ASSERT_TRUE(consolidate(fx.installation(), district, c));
    EXPECT_EQ(units(c, 1), (std::vector<int64_t>{2, 1, 2}));

    // Chosen reports: each report whole, columns by the derived bounds (2 to 5).
    auto chosen = fx.request(1, 6);
    chosen.chosen = {{700, 5}, {310, 2}, {310, 4}};
    int64_t from = 0, to = 0;
    derivedBounds(chosen, from, to);
    EXPECT_EQ(from, 2);
    EXPECT_EQ(to, 5);
    ASSERT_TRUE(consolidate(fx.installation(), chosen, c));
    EXPECT_EQ(units(c, 1), (std::vector<int64_t>{506, 0, 500}));
    EXPECT_EQ(units(c, 2), (std::vector<int64_t>{60, 0, 0}));
    EXPECT_EQ(c.recordsRead, 7);

    // Records with facility or district code 0 are counted in and noted.
    std::filesystem::remove(fx.file("F0040.dat"));
    fx.write<data::Otchet>(fx.file("F0040.dat"), {ConsolidationFixture::value(0, 5, 1, 1, 1, 1),
                                                  ConsolidationFixture::value(310, 0, 1, 1, 2, 2),
                                                  ConsolidationFixture::value(0, 0, 1, 1, 2, 4)});
    ASSERT_TRUE(consolidate(fx.installation(), fx.request(1, 1), c));
    EXPECT_TRUE(c.zeroCodes);
    EXPECT_EQ(units(c, 1), (std::vector<int64_t>{1, 1, 1}));
    EXPECT_EQ(units(c, 2), (std::vector<int64_t>{6, 6, 6}));
}

TEST(Consolidation, SumOutsideTheRangeIsReportedWithItsCell) {
    ConsolidationFixture fx;
    std::filesystem::remove(fx.file("F0040.dat"));
    auto big = ConsolidationFixture::value(310, 5, 1, 1, 2, 0);
    big.DATA[2] = Decimal::fromMilli(Decimal::kMaxMilli);
    std::vector<data::Otchet> records;
    for (int facility = 1; facility <= 100; ++facility) {
        big.CODUCH = facility;
        records.push_back(big);
    }
    fx.write<data::Otchet>(fx.file("F0040.dat"), records);
    Consolidation c;
    const platform::Status st = consolidate(fx.installation(), fx.request(1, 1), c);
    ASSERT_FALSE(st);
    EXPECT_EQ(st.message(), "Сумма не помещается в поле: таблица 1, строка с кодом 2, графа 3");
}

// Every facility of the demo's form 12 of 2025 adds up to what a direct
// addition of the value file gives.
TEST(Consolidation, DemoFormEqualsADirectAddition) {
    const auto& demo = demo::test::builtDemo();
    ASSERT_TRUE(demo.status) << demo.status.message();
    const data::Installation inst(demo.dir);
    std::vector<data::Otchet> records;
    ASSERT_TRUE(data::readAll(inst.valueFile(2025, 12), records));
    std::map<int, std::array<int64_t, 25>> expected;
    for (const data::Otchet& o : records) {
        for (int c = 0; c < 25; ++c) expected[o.UNICODSTR][size_t(c)] += o.DATA[size_t(c)].milli();
    }
    registry::AnalysisRequest request;
    request.form = 12;
    request.year = 2025;
    Consolidation c;
    ASSERT_TRUE(consolidate(inst, request, c));
    ASSERT_EQ(c.rows.size(), expected.size());
    EXPECT_EQ(c.recordsRead, static_cast<int64_t>(records.size()));
    for (const ConsolidatedRow& row : c.rows) {
        for (int v = 0; v < 25; ++v) {
            ASSERT_EQ(row.values[size_t(v)].milli(), expected[row.unicod][size_t(v)]) << row.unicod << " " << v + 1;
        }
    }
}

}  // namespace
}  // namespace tavir::analysis
