#include "../support/cli_runner.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

namespace tavir::registry {
namespace {

class ReportsCli : public ::testing::Test {
protected:
    testing::CliResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--workdir", fx.dir().string(), "--year", "2013", "reports"});
        return testing::runCli(args, fx.dir());
    }
    fixture::RegistryInstallation fx;
};

TEST_F(ReportsCli, ListAfterFiltersAndMarks) {
    auto r = run({"--form", "12", "--from", "2", "--to", "3", "--district", "5", "--kind", "2", "--no-town",
                  "--mark", "310:2,340:3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Неверен регион-код лпу720\n");
    std::istringstream lines(r.out);
    std::vector<std::string> marked;
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        if (line.find("\to\t") != std::string::npos) marked.push_back(line);
    }
    EXPECT_EQ(count, 15);
    // District 5, kind 2 and no town mark 320, 330 and 340; the marks toggle
    // 340 off and 310's February report on.
    EXPECT_EQ(marked, (std::vector<std::string>{
                          "4\t310\t2\to\tБереговой\tЦРБ\tсело\tБереговая ЦРБ",
                          "6\t320\t3\to\tБереговой\tУчастковая больница\tсело\tУчастковая больница Мыс",
                          "7\t330\t3\to\tБереговой\tУчастковая больница\tсело*\tучастковая больница Бор"}));
}

TEST_F(ReportsCli, RequestsAndRefusals) {
    auto r = run({"--form", "12", "--district", "300", "--kind", "1", "--request", "consolidation"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2013г. март. Районы ЦРБ\n0\n310\t3\n710\t3\n");

    r = run({"--form", "12", "--district", "5", "--mark", "710:3", "--request", "breakdown"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Отмечены ЛПУ невходящие в Береговой регион."), std::string::npos) << r.err;

    r = run({"--form", "12", "--kind", "3", "--no-town", "--request", "indicators"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ТАКИХ ОТЧЕТОВ НЕТ"), std::string::npos) << r.err;

    EXPECT_EQ(run({"--form", "12", "--district", "8"}).status, 1);
    EXPECT_EQ(run({"--form", "77"}).status, 1);
    EXPECT_EQ(run({"--form", "12", "--mark", "310"}).status, 2);
    EXPECT_EQ(run({"--form", "12", "--request", "everything"}).status, 2);
}

}  // namespace
}  // namespace tavir::registry
