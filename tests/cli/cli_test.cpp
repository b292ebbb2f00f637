// The real tavir-cli binary, run in a temporary working directory.

#include "../support/cli_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

using Result = tavir::testing::CliResult;
using tavir::testing::readFile;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tavir-cli-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_ / "work" / "2026");
        work_ = dir_ / "work";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs tavir-cli with the arguments, the text as standard input, in the
    // working directory given by --workdir.
    Result cli(const std::vector<std::string>& args, const std::string& input = {}, bool workdir = true) {
        std::vector<std::string> all;
        if (workdir) all = {"--workdir", work_.string()};
        all.insert(all.end(), args.begin(), args.end());
        return tavir::testing::runCli(all, dir_, input);
    }

    // A failure: the status, and one line on standard error.
    static void expectFailure(const Result& r, int status, const std::string& part) {
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }

    fs::path dir_;
    fs::path work_;
};

const std::string kStrokaHeader =
    "STR:UNICOD\tSTR:CODFORM\tSTR:CODTABL\tSTR:NUMBER\tSTR:CODSTR\tSTR:CODMKB\tSTR:NAME\tSTR:NAMEL\tSTR:POL\t"
    "STR:CODNAS\n";

// Load, then dump under other letter cases of the name: what went in comes
// back, trailing blanks trimmed; a bad line refuses the load whole.
TEST_F(CliTest, LoadDumpAndBadLine) {
    const std::string rows = "1\t12\t1000\t1\t01\tA00-B99\tВсего болезней\tВсего\t\t0\n"
                             "2\t12\t1000\t2\t1.1\t\t  из них: грипп\tгрипп\tж\t3\n";
    Result r = cli({"load", "2026/stroka.DAT"},
                   "STR:NAMEL\tSTR:CODFORM\tSTR:UNICOD\tSTR:CODTABL\tSTR:NUMBER\tSTR:CODSTR\tSTR:NAME\tSTR:POL\t"
                   "STR:CODNAS\tSTR:CODMKB\n"
                   "Всего   \t12\t1\t1000\t1\t01\tВсего болезней  \t\t0\tA00-B99\n"
                   "грипп\t12\t2\t1000\t2\t1.1\t  из них: грипп\tж\t3\t\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Добавлено записей: 2"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(work_ / "2026" / "stroka.DAT"));

    r = cli({"dump", "2026/Stroka.dat"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kStrokaHeader + rows);
    const std::string before = r.out;

    r = cli({"load", "2026/STROKA.dat"}, kStrokaHeader + "3\t12\t1000\t3\t02\t\tА\tА\t\t0\n" +
                                             "4\t12\t1000\t4\t03\t\tБ\tБ\t\t0\n" + "5\t12\t1000\t5\t04\t\tВ\t" +
                                             std::string(71, 'x') + "\t\t0\n");
    expectFailure(r, 1, "Строка 4: текст длиннее поля STR:NAMEL (70)");
    r = cli({"load", "2026/stroka.dat"}, kStrokaHeader + "3\t12\t1000\t3\t02\t\tА\tА\t\t0\n" + rows);
    expectFailure(r, 1, "Строка 3: запись с таким ключом STR:KEYUNICOD уже есть");
    r = cli({"load", "2026/stroka.dat"}, "STR:UNICOD\tSTR:FOO\n3\t1\n");
    expectFailure(r, 1, "Строка 1: неизвестное поле STR:FOO");
    EXPECT_EQ(cli({"dump", "2026/stroka.dat"}).out, before);

    // A new file whose load fails is not left behind.
    r = cli({"load", "2026/Grafa.dat"}, "GRA:CODFORM\tGRA:COD\n12\t300\n");
    expectFailure(r, 1, "Строка 2: число 300 вне пределов поля GRA:COD");
    EXPECT_FALSE(fs::exists(work_ / "2026" / "Grafa.dat"));
}

// A value file named by its form: the label comes from the name, each value
// of the group is a column, and loading the dump reproduces the file.
TEST_F(CliTest, OtchetDumpLoadsBack) {
    Result r = cli({"load", "2026/F0012.dat"},
                   "OTC:CODREG\tOTC:CODUCH\tOTC:MES\tOTC:UNICODSTR\tOTC:DATA1\tOTC:DATA3\tOTC:DATA25\n"
                   "11\t1101\t3\t7\t1.5\t-2.125\t100\n"
                   "11\t1102\t3\t7\t0.001\t0\t\n");
    ASSERT_EQ(r.status, 0) << r.err;
    Result first = cli({"dump", "2026/F0012.dat"});
    ASSERT_EQ(first.status, 0) << first.err;
    std::string head = first.out.substr(0, first.out.find('\n'));
    EXPECT_TRUE(head.starts_with("OTC:CODREG\tOTC:CODUCH\tOTC:CODTAB\tOTC:MES\tOTC:TIP\tOTC:UNICODSTR\tOTC:DATA1\t"));
    EXPECT_TRUE(head.ends_with("\tOTC:DATA34\tOTC:DATA35")) << head;
    EXPECT_NE(first.out.find("\n11\t1101\t0\t3\t0\t7\t1.5\t0\t-2.125\t"), std::string::npos) << first.out;

    r = cli({"load", "2026/F0013.dat"}, first.out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli({"dump", "2026/F0013.dat"}).out, first.out);
}

TEST_F(CliTest, DumpByKey) {
    ASSERT_EQ(cli({"load", "BOLN.dat"},
                  "BOL:UNICOD\tBOL:CODREG\tBOL:NAZV\n"
                  "1103\t11\tЦРБ\n1201\t12\tФАП Ключи\n1101\t11\tБольница\n1102\t11\tПоликлиника\n")
                  .status,
              0);
    auto codes = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"dump", "boln.dat"});
        Result r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::istringstream lines(r.out);
        std::string line, out;
        std::getline(lines, line);
        while (std::getline(lines, line)) out += (out.empty() ? "" : " ") + line.substr(0, line.find('\t'));
        return out;
    };
    EXPECT_EQ(codes({}), "1103 1201 1101 1102");
    EXPECT_EQ(codes({"--reverse"}), "1102 1101 1201 1103");
    EXPECT_EQ(codes({"--key", "BOL:KEYUNICOD"}), "1101 1102 1103 1201");
    EXPECT_EQ(codes({"--key", "BOL:KEYUNICOD", "--from", "1102"}), "1102 1103 1201");
    EXPECT_EQ(codes({"--key", "BOL:KEYUNICOD", "--from", "1102", "--reverse"}), "1102 1101");
    // Equal entries of a duplicate key in position order, backwards reversed.
    EXPECT_EQ(codes({"--key", "KEYCODREG", "--from=11"}), "1103 1101 1102 1201");
    EXPECT_EQ(codes({"--key", "BOL:KEYCODREG", "--from", "11", "--reverse"}), "1102 1101 1103");

    expectFailure(cli({"dump", "boln.dat", "--key", "BOL:KEYFOO"}), 1, "В файле bolnbol нет ключа BOL:KEYFOO");
    expectFailure(cli({"dump", "boln.dat", "--from", "1"}), 2, "--from");
    expectFailure(cli({"dump", "boln.dat", "--key", "BOL:KEYUNICOD", "--from", "1,2"}), 1, "начальных значений: 2");
}

TEST_F(CliTest, DictAndHelp) {
    Result r = cli({"dict"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\notchet\tOTC\t330\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nstroka\tSTR\t445\n"), std::string::npos);

    r = cli({"dict", "stroka"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nSTR:CODTABL\tDECIMAL 3,0\t3\t4\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nSTR:NAMEL\tSTRING 70\t70\t373\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nДлина записи\t445\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nSTR:STR1\tуникальный\tSTR:CODFORM, STR:CODTABL, STR:CODSTR\n"), std::string::npos);
    r = cli({"dict", "Rash"});
    EXPECT_NE(r.out.find("\nRAS:GS1\tDECIMAL 3,0 DIM 50\t150\t12\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nRAS:KEYFORTAB\tс повторами\t"), std::string::npos);

    r = cli({"--help"}, {}, false);
    EXPECT_EQ(r.status, 0);
    for (const char* command : {"\n  dict ", "\n  load ", "\n  dump ", "--workdir", "--year"}) {
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    }
    r = cli({"dump", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Использование: tavir-cli dump ФАЙЛ")) << r.out;
}

// Exit statuses: 2 for a wrong command line, 1 for failed work, each with one line.
TEST_F(CliTest, Errors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{}, 2, "не указана команда"},
        {{"frob"}, 2, "неизвестная команда frob"},
        {{"--frob", "dict"}, 2, "неизвестный параметр --frob"},
        {{"dict", "--frob"}, 2, "tavir-cli dict: неизвестный параметр --frob"},
        {{"load"}, 2, "не указан файл"},
        {{"load", "a.dat", "b.dat"}, 2, "лишний аргумент b.dat"},
        {{"load", "2026/F0012.dat", "--label"}, 2, "после --label нужно значение"},
        {{"--year", "20x6", "dict"}, 2, "неверный год 20x6"},
        {{"dict", "nosuch"}, 1, "В словаре нет файла nosuch"},
        {{"load", "data.dat"}, 1, "По имени data.dat не определить вид файла"},
        {{"load", "data.dat", "--label", "nosuch"}, 1, "В словаре нет файла nosuch"},
        {{"dump", "2026/F0099.dat"}, 1, "F0099.dat"},
        {{"load", "2027/F0012.dat"}, 1, "F0012.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        expectFailure(cli(c.args, "OTC:MES\n1\n"), c.status, c.message);
    }
    expectFailure(cli({"--workdir", (dir_ / "none").string(), "dict"}, {}, false), 1, "Нет рабочего каталога");

    // A file of another layout is refused by its schema, not misread.
    ASSERT_EQ(cli({"load", "REGION1.dat"}, "REG:CODREG\tREG:NAME\n1\tСеверный\n").status, 0);
    expectFailure(cli({"dump", "REGION1.dat", "--label", "viduch"}), 1, "REGION1.dat");
}

}  // namespace
