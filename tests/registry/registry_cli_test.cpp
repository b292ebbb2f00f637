// tavir-cli submitted and completeness, run as the real binary.

#include "analysis/spreadsheet_export.h"
#include "../support/cli_runner.h"
#include "submission_fixture.h"

#include <gtest/gtest.h>

namespace tavir::registry {
namespace {

using fixture::SubmissionInstallation;

class RegistryCli : public ::testing::Test {
protected:
    RegistryCli() {
        inst.templateWorkbook("RAS1");
        inst.templateWorkbook("RAS");
        inst.setForms({SubmissionInstallation::form(16, "016/у", "Сведения о движении пациентов", 1),
                       SubmissionInstallation::form(62, "62", "Сведения о выполнении объемов", 2)});
        for (int month : {1, 2, 3}) inst.report(16, month, 310, 5, 2);
        inst.report(16, 2, 900, 201);
        inst.report(62, 1, 330, 6);
        inst.report(62, 2, 330, 6);
    }
    testing::CliResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--workdir", inst.dir().string(), "--year", "2026"});
        return testing::runCli(args, inst.dir());
    }
    SubmissionInstallation inst;
};

TEST_F(RegistryCli, Submitted) {
    auto r = run({"submitted", "--form", "16"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "310\tБереговой\tЦРБ\tБереговая ЦРБ\t3\t3месяц\n");

    r = run({"submitted", "--form", "16", "--from", "1", "--to", "2"});
    EXPECT_EQ(r.out,
              "310\tБереговой\tЦРБ\tБереговая ЦРБ\t1\t1месяц\n"
              "310\tБереговой\tЦРБ\tБереговая ЦРБ\t2\t2месяц\n"
              "900\tОбластные учреждения\tЦРБ\tОбластная клиническая больница\t2\t2месяц\n");

    r = run({"submitted", "--form", "16", "--from", "5", "--to", "6"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ОТЧЕТОВ НЕТ\n");

    r = run({"submitted", "--form", "16", "--excel"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, (analysis::workCopyFolder(inst.installation()) / "1.xlsx").string() + "\n");
    EXPECT_TRUE(std::filesystem::exists(analysis::workCopyFolder(inst.installation()) / "1.xlsx"));

    r = run({"submitted", "--form", "17"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.ends_with("tavir-cli: форма 17 не выбрана\n")) << r.err;
}

TEST_F(RegistryCli, Completeness) {
    auto r = run({"completeness", "--from", "4", "--to", "6"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Код\tНаименование\t62\n"
              "\tВсего отчетов\t2\n"
              "5\tБереговой\t0\n"
              "6\tОзерный\t2\n"
              "101\tТарвин\t0\n"
              "201\tОбластные учреждения\t0\n");

    r = run({"completeness", "--from", "2", "--to", "2", "--by", "facilities"});
    EXPECT_EQ(r.out,
              "Код\tНаименование\t16\n"
              "\tВсего отчетов\t2\n"
              "310\tБереговой Береговая ЦРБ\t1\n"
              "900\tОбластные учреждения Областная клиническая больница\t1\n");

    r = run({"completeness", "--from", "1", "--to", "3", "--excel"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, (analysis::workCopyFolder(inst.installation()) / "1.xlsx").string() + "\n");

    EXPECT_EQ(run({"completeness", "--from", "1", "--to", "3", "--by", "районам"}).status, 2);
    std::filesystem::remove(inst.valueFile(62));
    r = run({"completeness", "--from", "1", "--to", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("F0062.dat"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

}  // namespace
}  // namespace tavir::registry
