#include "entry/table_calculation.h"

#include "platform/keyed_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace tavir;
using namespace tavir::entry;
using platform::Decimal;

namespace {

Decimal d(double v) { return Decimal::fromDouble(v); }

data::Rash rule(int kind, int target, std::initializer_list<int> operands) {
    data::Rash r;
    r.CODFORM = 12;
    r.CODTAB = 1000;
    r.TIPRASH = kind;
    r.GS = target;
    int k = 0;
    for (int op : operands) r.GS1[k++] = op;
    return r;
}

GridRow row(int number, std::initializer_list<double> values, int unicod = 0) {
    GridRow g;
    g.NUMBER = number;
    g.UNICODSTR = unicod ? unicod : number;
    g.CODSTR = std::to_string(number);
    int i = 0;
    for (double v : values) g.DATA[i++] = d(v);
    return g;
}

class TempDir {
public:
    TempDir() : dir_(std::filesystem::temp_directory_path() / ("tavir-calc-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(dir_);
    }
    ~TempDir() { std::filesystem::remove_all(dir_); }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
};

}  // namespace

TEST(TableCalculation, ColumnFormulaInEveryRow) {
    std::vector<GridRow> grid = {row(1, {0, 10, 5, 3}), row(2, {7, 1.5, 0.25, 2})};
    auto overflow = calculateTable({rule(1, 1, {2, 3, -4})}, 4, grid, {});
    EXPECT_TRUE(overflow.empty());
    EXPECT_EQ(grid[0].DATA[0], d(12));
    EXPECT_EQ(grid[1].DATA[0], d(-0.25));
    // The operands are untouched.
    EXPECT_EQ(grid[1].DATA[1], d(1.5));
}

TEST(TableCalculation, ColumnFormulaOutsideTheValueColumns) {
    std::vector<GridRow> grid = {row(1, {1, 2, 3})};
    // A target outside 1..25 stores nothing; an operand outside contributes nothing.
    calculateTable({rule(1, 26, {1, 2}), rule(1, 3, {1, 2, 30, -31})}, 3, grid, {});
    EXPECT_EQ(grid[0].DATA[2], d(3));
}

TEST(TableCalculation, RowFormulaWithMissingOperandRow) {
    std::vector<GridRow> grid = {row(1, {0, 0, 9}), row(2, {1, 2, 9}), row(3, {10, 20, 9})};
    // Row 12 does not exist: rows 2 and 3 are summed; value 3 lies beyond A = 2 and keeps its 9.
    calculateTable({rule(2, 1, {2, 12, 3})}, 2, grid, {});
    EXPECT_EQ(grid[0].DATA[0], d(11));
    EXPECT_EQ(grid[0].DATA[1], d(22));
    EXPECT_EQ(grid[0].DATA[2], d(9));

    // A negative operand subtracts; a target row that does not exist changes nothing.
    calculateTable({rule(2, 1, {3, -2}), rule(2, 7, {3})}, 2, grid, {});
    EXPECT_EQ(grid[0].DATA[0], d(9));
    EXPECT_EQ(grid[2].DATA[0], d(10));
}

TEST(TableCalculation, WholeReportFormulaReadsTheCache) {
    ReportCache cache;
    cache[501].CODTABL = 2000;
    cache[501].DATA[0] = d(100);
    cache[501].DATA[1] = d(0.001);
    cache[7].CODTABL = 1000;
    cache[7].DATA[0] = d(40);
    // Row 2 of the grid (unique code 7) has been edited since the last sync:
    // the formula sees the cache's value.
    std::vector<GridRow> grid = {row(1, {}, 6), row(2, {1000}, 7)};
    calculateTable({rule(3, 1, {501, -7, 999})}, 2, grid, cache);
    EXPECT_EQ(grid[0].DATA[0], d(60));
    EXPECT_EQ(grid[0].DATA[1], d(0.001));
}

TEST(TableCalculation, SumsAreExactAndOverflowKeepsTheValue) {
    std::vector<GridRow> grid = {row(1, {0, 0.1, 0.2})};
    calculateTable({rule(1, 1, {2, 3})}, 3, grid, {});
    EXPECT_EQ(grid[0].DATA[0].milli(), 300);

    grid[0].DATA[1] = Decimal::fromMilli(Decimal::kMaxMilli);
    grid[0].DATA[2] = Decimal::fromMilli(1);
    auto overflow = calculateTable({rule(1, 1, {2, 3})}, 3, grid, {});
    ASSERT_EQ(overflow.size(), 1u);
    EXPECT_EQ(overflow[0].rowNumber, 1);
    EXPECT_EQ(overflow[0].valueIndex, 1);
    EXPECT_EQ(grid[0].DATA[0].milli(), 300);
}

// Rules come from the file in RAS:KEYFORTAB order whatever order they were
// added in: the kind-11 column total sees the kind-2 row total.
TEST(TableCalculation, RulesApplyInKeyOrder) {
    TempDir dir;
    data::RecordFile<data::Rash> file(dir / "Rash.dat");
    ASSERT_TRUE(platform::KeyedFile::create(file.def(), file.path()).isOk());
    ASSERT_TRUE(file.open().isOk());
    int id = 1;
    for (data::Rash r : {rule(11, 3, {1, 2}), rule(2, 3, {1, 2}), rule(1, 1, {2}), rule(2, 1, {2}),
                         rule(21, 3, {3, 3})}) {
        r.ID = id++;
        ASSERT_TRUE(file.add(r).isOk());
    }
    data::Rash other = rule(1, 1, {2});
    other.ID = id++;
    other.CODTAB = 2000;
    ASSERT_TRUE(file.add(other).isOk());
    file.close();

    std::vector<data::Rash> rules;
    ASSERT_TRUE(readCalcRules(file, 12, 1000, rules).isOk());
    std::vector<int> kinds;
    for (const auto& r : rules) kinds.push_back(r.TIPRASH * 100 + r.ID);
    EXPECT_EQ(kinds, (std::vector<int>{103, 202, 204, 1101, 2105}));

    // Row 3 := 1 + 2 (kind 2), then value 3 := 1 + 2 in every row (kind 11),
    // then doubled (kind 21).
    std::vector<GridRow> grid = {row(1, {1, 2}), row(2, {10, 20}), row(3, {})};
    calculateTable(rules, 3, grid, {});
    // Kind 1: value 1 := value 2 -> rows {2,2}, {20,20}. Kind 2: row 3 := rows
    // 1 + 2 = {22,22}, then row 1 := row 2. Kind 11: value 3 := 1 + 2, so row
    // 3 gets 44 from the row totals. Kind 21 doubles value 3.
    EXPECT_EQ(grid[0].DATA[0], d(20));
    EXPECT_EQ(grid[2].DATA[0], d(22));
    EXPECT_EQ(grid[2].DATA[1], d(22));
    EXPECT_EQ(grid[2].DATA[2], d(88));
    EXPECT_EQ(grid[1].DATA[2], d(80));
}

TEST(TableCalculation, DisplayRulesFoldKinds) {
    auto shown = displayRules({rule(21, 5, {1}), rule(3, 1, {9}), rule(12, 2, {1}), rule(1, 4, {1}),
                               rule(4, 0, {2}), rule(7, 1, {1})});
    std::vector<std::pair<int, int>> got;
    for (const auto& r : shown) got.emplace_back(r.TIPRASH, r.GS);
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{1, 4}, {1, 5}, {2, 2}, {4, 0}, {7, 1}}));
}

TEST(TableCalculation, ColouringAndLocking) {
    auto rules = displayRules({rule(1, 2, {3, 4}), rule(12, 5, {1, 2}), rule(4, 3, {1, 4, 0, 6})});
    auto target = colourEntries(rules, 5);
    for (bool green : target.computed) EXPECT_TRUE(green);
    EXPECT_FALSE(target.locked[0]);

    auto plain = colourEntries(rules, 3);
    EXPECT_TRUE(plain.computed[1]);
    EXPECT_FALSE(plain.computed[0]);
    // Operands up to the first 0.
    EXPECT_TRUE(plain.locked[0]);
    EXPECT_TRUE(plain.locked[3]);
    EXPECT_FALSE(plain.locked[5]);
    EXPECT_FALSE(colourEntries(rules, 4).locked[0]);

    // A lock with target 0 applies to every row.
    auto all = colourEntries(displayRules({rule(4, 0, {7}), rule(4, 2, {8})}), 2);
    EXPECT_TRUE(all.locked[6]);
    EXPECT_FALSE(all.locked[7]);

    // Only the first 49 operands lock.
    data::Rash full = rule(4, 0, {});
    full.GS1.fill(1);
    full.GS1[49] = 25;
    EXPECT_TRUE(colourEntries({full}, 1).locked[0]);
    EXPECT_FALSE(colourEntries({full}, 1).locked[24]);
}

TEST(CarryOver, OfferedForThreeFormsAfterTheFirstPeriod) {
    struct Case {
        int form;
        int64_t period;
        bool offered;
    } cases[] = {{342, 2, true}, {117, 12, true}, {124, 3, true}, {342, 1, false}, {12, 3, false}, {124, 0, false}};
    for (const Case& c : cases) EXPECT_EQ(carryOverOffered(c.form, c.period), c.offered) << c.form << " " << c.period;
}

TEST(CarryOver, TakesThePreviousPeriodsBalances) {
    TempDir dir;
    data::RecordFile<data::Otchet> file(dir / "F0342.dat");
    ASSERT_TRUE(platform::KeyedFile::create(file.def(), file.path()).isOk());
    ASSERT_TRUE(file.open().isOk());
    auto add = [&](int mes, int facility, int unicod, int firstValue) {
        data::Otchet o;
        o.MES = mes;
        o.CODUCH = facility;
        o.UNICODSTR = unicod;
        for (int i = 0; i < 35; ++i) o.DATA[i] = Decimal::fromMilli((firstValue + i) * 1000);
        ASSERT_TRUE(file.add(o).isOk());
    };
    add(2, 310, 1, 100);  // February, row 1
    add(2, 311, 2, 500);  // another facility's February
    add(1, 310, 2, 900);  // January
    file.close();

    // March: row 1 has a February record, row 2 has none.
    std::vector<GridRow> grid = {row(1, {7, 7, 7, 7}, 1), row(2, {7, 7, 7, 7}, 2)};
    ASSERT_TRUE(carryOver(file, 342, 310, 3, grid).isOk());
    EXPECT_EQ(grid[0].DATA[0], d(103));
    EXPECT_EQ(grid[0].DATA[1], d(104));
    EXPECT_EQ(grid[0].DATA[2], d(105));
    EXPECT_EQ(grid[0].DATA[3], d(7));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(grid[1].DATA[i].isZero());
    EXPECT_EQ(grid[1].DATA[3], d(7));

    // Forms 117 and 124 carry values 13 to 15.
    ASSERT_TRUE(carryOver(file, 117, 310, 3, grid).isOk());
    EXPECT_EQ(grid[0].DATA[0], d(112));
    EXPECT_EQ(grid[0].DATA[2], d(114));
}
