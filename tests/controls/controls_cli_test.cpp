// tavir-cli controls, interform and control-list, run as the real binary.

#include "controls_fixture.h"
#include "../support/cli_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace tavir;
using namespace tavir::fixture;

namespace {

using Result = tavir::testing::CliResult;

Result cli(const std::filesystem::path& workdir, const std::vector<std::string>& args) {
    std::vector<std::string> all{"--workdir", workdir.string()};
    all.insert(all.end(), args.begin(), args.end());
    return tavir::testing::runCli(all, workdir);
}

// Form 12, table 1 with one descriptive column; rule 10: if row 1 is 0 then
// row 2 is 0 (column 2); rule 12 names column 9, outside the table.
class ControlsCli : public ::testing::Test {
protected:
    void SetUp() override {
        fx.regions({{5, "Береговой"}, {7, "Озерный"}});
        fx.facilities({InstallationFixture::facility(501, 5, "Больница А"),
                       InstallationFixture::facility(502, 5, "Больница Б"),
                       InstallationFixture::facility(701, 7, "Озерная ЦРБ")});
        fx.settings({data::User1{}});
        YearFiles y;
        y.forms = {InstallationFixture::form(12, "12", "Сведения о заболеваемости", 1),
                   InstallationFixture::form(30, "30", "Сведения об учреждении", 0)};
        y.tables = {table(12, 1, 1, 3)};
        y.rows = {row(12, 1, 1, 1, "1"), row(12, 1, 2, 2, "2")};
        y.rowRules = {rowRule(10, 12, 2, 1, 6, {2})};
        y.columnRules = {columnRule(20, 12, 1, "", 4, 3, {-3})};
        data::ContrStr mf;
        mf.UNICOD = 1;
        mf.SNAK = 1;
        mf.S1 = {12, 2, 1, 30, -1, 1};
        y.interformRules = {mf};
        writeYear(fx, y);
        fx.write(fx.installation().valueFile(kYear, 12),
                 std::vector<data::Otchet>{value(5, 501, 1, 3, 2, {3}), value(5, 502, 1, 3, 1, {4, -1, 0}),
                                           value(7, 701, 1, 3, 1, {1}), value(7, 701, 1, 3, 2, {1})});
        fx.write(fx.installation().valueFile(kYear, 30), std::vector<data::Otchet>{value(5, 501, 1, 0, 1, {3})});
    }
    Result run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--year", std::to_string(kYear)});
        return cli(fx.dir(), args);
    }
    InstallationFixture fx;
};

TEST_F(ControlsCli, ControlsByScope) {
    const std::vector<std::string> base{"controls", "--form", "12", "--from", "3", "--to", "3"};
    auto with = [&](std::vector<std::string> extra) {
        auto args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    };
    Result r = with({"--scope", "facilities"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "10\t501\tБереговой Больница А\t12\t-3\tт1г2с1    (0)? (3)c2\n"
              "20\t502\tБереговой Больница Б\t12\t-1\tт1с1 г4(0)>=(1)-г3\n");
    EXPECT_EQ(r.err, "");

    r = with({"--scope", "facilities", "--district", "7"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Ошибок нет\n");

    // The district's row 1 holds 4: rule 10 passes for the district as a whole.
    r = with({"--scope", "district:5"});
    EXPECT_EQ(r.out, "20\t0\t\t12\t-1\tт1с1 г4(0)>=(1)-г3\n");
    r = with({"--scope", "facility:502"});
    EXPECT_EQ(r.out, "20\t0\t\t12\t-1\tт1с1 г4(0)>=(1)-г3\n");
    r = with({"--scope", "districts"});
    EXPECT_EQ(r.out, "20\t5\tБереговой\t12\t-1\tт1с1 г4(0)>=(1)-г3\n");
    r = with({"--scope", "region"});
    EXPECT_EQ(r.out, "20\t0\t\t12\t-1\tт1с1 г4(0)>=(1)-г3\n");
}

TEST_F(ControlsCli, RuleDataMessagesGoToStandardError) {
    std::filesystem::remove(fx.installation().contrStrFile(kYear));
    fx.write(fx.installation().contrStrFile(kYear), std::vector<data::ContrStr>{rowRule(12, 12, 9, 1, 1, {2})});
    Result r = run({"controls", "--form", "12", "--from", "3", "--to", "3", "--scope", "region"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "ИСПРАВТЕ КОНТРОЛЬ 12\n");
    EXPECT_EQ(r.out, "20\t0\t\t12\t-1\tт1с1 г4(0)>=(1)-г3\n");
}

TEST_F(ControlsCli, WrongCommandLines) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"controls", "--form", "12", "--from", "4", "--to", "3", "--scope", "region"},
             {"controls", "--form", "12", "--from", "3", "--to", "13", "--scope", "region"},
             {"controls", "--form", "12", "--from", "3", "--to", "3", "--scope", "district"},
             {"controls", "--form", "12", "--from", "3", "--to", "3", "--scope", "region", "--district", "5"},
             {"controls", "--form", "x", "--from", "3", "--to", "3", "--scope", "region"},
             {"interform", "--rule", "1", "--scope", "everything"},
             {"control-list"}}) {
        Result r = run(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    Result r = run({"controls", "--form", "12", "--from", "4", "--to", "3", "--scope", "region"});
    EXPECT_NE(r.err.find("Исправте период"), std::string::npos) << r.err;
    r = run({"controls", "--form", "12", "--from", "3", "--to", "3", "--scope", "facility:999"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Нет учреждения 999"), std::string::npos) << r.err;
}

TEST_F(ControlsCli, Interform) {
    // Form 12 row 2 value 1 minus form 30 row 1 value 1 is 0.
    Result r = run({"interform", "--rule", "1", "--scope", "facilities"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "701\tОзерный Озерная ЦРБ\tОШИБКА\t1\t+(Ф12)1\n");
    r = run({"interform", "--rule", "1", "--scope", "region"});
    EXPECT_EQ(r.out, "0\tТарвинская область\tОШИБКА\t1\t\n");
    r = run({"interform", "--rule", "2", "--scope", "region"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Контроль не найден\n");
}

TEST_F(ControlsCli, ControlList) {
    Result r = run({"control-list", "--form", "12"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "По графам\t20\t1\t\tг4 >=г-3\nПо строкам\t10\t1\t2\tЕСЛИ c1=0 ТО c2=0\n");
}

// The deliberate violations of the demo installation, each found by the run
// that covers its report.
TEST(ControlsCliDemo, FindsTheDemoViolations) {
    const auto dir = std::filesystem::temp_directory_path() / ("tavir-ctl-demo-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    ASSERT_EQ(cli(dir.parent_path(), {"demo", dir.string()}).status, 0);
    struct Case {
        std::string year, forms, from, to, scope;
        std::vector<std::string> lineStarts;
    };
    const std::vector<Case> cases{
        {"2025", "12,30,14", "0", "12", "facilities",
         {"11\t701\t", "19\t701\t", "28\t1001\t", "3\t2201\t"}},
        {"2026", "117", "5", "5", "facilities", {"38\t3004\t", "38\t3004\t"}},
        {"2026", "950", "4", "4", "district:5", {"35\t0\t", "47\t0\t"}},
    };
    for (const Case& c : cases) {
        Result r = cli(dir, {"--year", c.year, "controls", "--form", c.forms, "--from", c.from, "--to", c.to, "--scope",
                             c.scope});
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> starts;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            starts.push_back(line.substr(0, line.find('\t', line.find('\t') + 1) + 1));
        }
        EXPECT_EQ(starts, c.lineStarts) << c.year << " " << c.forms << "\n" << r.out;
    }
    Result r = cli(dir, {"--year", "2025", "interform", "--rule", "1", "--scope", "facilities"});
    EXPECT_TRUE(r.out.starts_with("1901\t")) << r.out;
    std::filesystem::remove_all(dir);
}

}  // namespace
