#include "../support/cli_runner.h"
#include "consolidation_fixture.h"

#include "data/dictionary.h"
#include "data/record_binding.h"

#include <gtest/gtest.h>

namespace tavir::analysis {
namespace {

class ConsolidateCli : public ::testing::Test {
protected:
    testing::CliResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--workdir", fx.dir().string(), "--year", "2026", "consolidate", "--form", "40"});
        return testing::runCli(args, fx.dir());
    }
    ConsolidationFixture fx;
};

TEST_F(ConsolidateCli, RowsOfEveryTableChecksAndRefusals) {
    auto r = run({"--from", "1", "--to", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\t1\t1\t606\t101\t303\n1\t2\t2\t60\t10\t30\n1\t3\t3\t0\t0\t0\n2\t1\t9\t6\n");
    EXPECT_EQ(r.err, "В данной таблице в графах ошибки \n");

    r = run({"--from", "1", "--to", "6", "--reports", "310:2,700:5", "--table", "1", "--filled-only", "--no-column-kinds"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\t1\t1\t502\t502\t502\n1\t2\t2\t20\t20\t20\n");

    r = run({"--from", "4", "--to", "6", "--district", "5", "--check"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;

    r = run({"--compare-previous-year"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Нет данных за 2025г."), std::string::npos) << r.err;
    EXPECT_EQ(run({"--table", "7"}).status, 1);
    EXPECT_EQ(run({"--excel"}).status, 2);
}

TEST_F(ConsolidateCli, ExportToAnExchangeFile) {
    data::User1 user;
    user.TIPUSER = app::kSubjectDistrict;
    user.CODREG = 5;
    user.KODUSER = 5;
    fx.settings({user});
    std::filesystem::create_directories(fx.dir() / "out");
    // The name runs on from the path as typed: no "\\" is put between.
    auto r = run({"--from", "1", "--to", "3", "--export-to", "\\out\\s"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto file = fx.dir() / "out" / "sssw5F40.dat";
    EXPECT_EQ(r.out, "3\t" + file.string() + "\n");
    EXPECT_EQ(r.err, "В данной таблице в графах ошибки \nЧисло записей:3 в файле" + file.string() + "\n");
    std::vector<data::Ot2> records;
    ASSERT_TRUE(data::readAll(file, records, data::label::ot2).isOk());
    ASSERT_EQ(records.size(), 3u);
    for (const auto& rec : records) {
        EXPECT_EQ(rec.CODUCH, 21005);
        EXPECT_EQ(rec.MES, 3);
    }
    EXPECT_EQ(records[0].DATA[0], platform::Decimal::fromDouble(606));
}

}  // namespace
}  // namespace tavir::analysis
