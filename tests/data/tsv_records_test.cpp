#include "data/tsv_records.h"

#include "data/dictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

using namespace tavir;
using data::LoadReport;
using platform::Direction;
using platform::ErrorKind;
using platform::KeyedFile;
using platform::Record;
using platform::Status;

namespace fs = std::filesystem;

namespace {

std::string repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

class TsvRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tavir-tsv-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static const platform::FileDef& def(std::string_view label) { return *data::findFile(label); }

    Status load(std::string_view label, const std::string& name, const std::string& tsv, LoadReport* out = nullptr) {
        std::istringstream in(tsv);
        LoadReport report;
        Status st = data::loadTsv(def(label), dir_ / name, in, report);
        if (out) *out = report;
        return st;
    }

    std::string dump(std::string_view label, const std::string& name, const platform::KeyDef* key = nullptr,
                     const std::vector<std::string>& from = {}, Direction dir = Direction::Forward) {
        KeyedFile file(def(label), dir_ / name);
        std::ostringstream out;
        Status st = data::dumpTsv(file, out, key, from, dir);
        EXPECT_TRUE(st.isOk()) << st.message();
        return out.str();
    }

    std::string header(std::string_view label) {
        std::string line;
        for (const auto& c : data::tsvColumns(def(label))) line += (line.empty() ? "" : "\t") + c;
        return line + "\n";
    }

    fs::path dir_;
};

// Texts with Cyrillic letters, trailing blanks and the full width of their
// fields come back as they went in, less the trailing blanks; left-out fields
// are zero or blank, and the columns may come in any order.
TEST_F(TsvRecordsTest, StrokaRoundTrip) {
    const std::string name255 = repeat("Ж", 255);
    const std::string namel70 = repeat("я", 70);
    const std::string tsv =
        "STR:NAME\tSTR:CODFORM\tSTR:UNICOD\tSTR:CODTABL\tSTR:NUMBER\tSTR:CODSTR\tSTR:NAMEL\n"
        "Всего болезней   \t12\t1\t1000\t1\t01\tВсего\n"
        "  в том числе: туберкулез\t12\t2\t1000\t2\t1.1\t" + namel70 + "   \n" +
        name255 + "\t12\t-3\t1000\t3\t02\t\n";
    LoadReport report;
    Status st = load("stroka", "Stroka.dat", tsv, &report);
    ASSERT_TRUE(st.isOk()) << st.message();
    EXPECT_EQ(report.added, 3);
    EXPECT_TRUE(report.created);

    const std::string expected =
        header("stroka") +
        "1\t12\t1000\t1\t01\t\tВсего болезней\tВсего\t\t0\n"
        "2\t12\t1000\t2\t1.1\t\t  в том числе: туберкулез\t" + namel70 + "\t\t0\n"
        "-3\t12\t1000\t3\t02\t\t" + name255 + "\t\t\t0\n";
    const std::string dumped = dump("stroka", "Stroka.dat");
    EXPECT_EQ(dumped, expected);

    // The dump loads into an equal file.
    ASSERT_TRUE(load("stroka", "copy.dat", dumped).isOk());
    EXPECT_EQ(dump("stroka", "copy.dat"), dumped);
}

// A line that does not fit refuses the whole load with its line number; the
// file keeps exactly what it held.
TEST_F(TsvRecordsTest, BadLineRefusesWholeLoad) {
    const std::string head = "STR:CODFORM\tSTR:UNICOD\tSTR:CODTABL\tSTR:NUMBER\tSTR:CODSTR\tSTR:NAMEL\n";
    ASSERT_TRUE(load("stroka", "Stroka.dat", head + "12\t1\t1000\t1\t01\tВсего\n").isOk());
    const std::string before = dump("stroka", "Stroka.dat");
    const std::string good = "12\t2\t1000\t2\t02\tА\n";

    struct Case {
        std::string tsv;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"STR:CODFORM\tSTR:FOO\n12\t1\n", 1, "Строка 1: неизвестное поле STR:FOO"},
        {"STR:CODFORM\tSTR:CODFORM\n", 1, "Строка 1: поле STR:CODFORM указано дважды"},
        {"", 1, "Строка 1: нет заголовка с именами полей"},
        {head + good + "12\t3\t1000\t3\t03\t" + repeat("щ", 71) + "\n", 3,
         "Строка 3: текст длиннее поля STR:NAMEL (70)"},
        {head + good + "12\tx1\t1000\t3\t03\tБ\n", 3, "Строка 3: неверное число \"x1\" в поле STR:UNICOD"},
        {head + "12\t3\t1000\t256\t03\tБ\n", 2, "Строка 2: число 256 вне пределов поля STR:NUMBER (от 0 до 255)"},
        {head + "12\t-32769\t1000\t3\t03\tБ\n", 2, "Строка 2: число -32769 вне пределов поля STR:UNICOD"},
        {head + "1.5\t3\t1000\t3\t03\tБ\n", 2, "Строка 2: неверное число \"1.5\" в поле STR:CODFORM"},
        {head + "12\t3\t1000\t3\t03\n", 2, "Строка 2: значений: 5, полей в заголовке: 6"},
        {head + "12\t3\t1000\t3\t03\t\xC0\xE1\n", 2, "Строка 2: текст не в кодировке UTF-8"},
        // Against a record of the file, and against an earlier line of the load.
        {head + good + "12\t1\t1000\t9\t09\tБ\n", 3,
         "Строка 3: запись с таким ключом STR:KEYUNICOD уже есть"},
        {head + good + "12\t3\t1000\t3\t02\tБ\n", 3, "Строка 3: запись с таким ключом STR:STR1 уже есть"},
    };
    for (const auto& c : cases) {
        LoadReport report;
        Status st = load("stroka", "Stroka.dat", c.tsv, &report);
        EXPECT_FALSE(st.isOk()) << c.message;
        EXPECT_EQ(report.badLine, c.line) << c.message;
        EXPECT_EQ(report.added, 0) << c.message;
        EXPECT_TRUE(st.message().starts_with(c.message)) << st.message();
        EXPECT_EQ(dump("stroka", "Stroka.dat"), before) << c.message;
    }
}

// A load that fails leaves no file behind where there was none.
TEST_F(TsvRecordsTest, FailedLoadLeavesNoNewFile) {
    LoadReport report;
    EXPECT_FALSE(load("region1", "REGION1.dat", "REG:CODREG\tREG:NAME\n1\tСеверный\n1\tЮжный\n", &report).isOk());
    EXPECT_EQ(report.badLine, 3);
    EXPECT_FALSE(fs::exists(dir_ / "REGION1.dat"));
    EXPECT_FALSE(load("region1", "REGION1.dat", "REG:NAMEX\n").isOk());
    EXPECT_FALSE(fs::exists(dir_ / "REGION1.dat"));
}

// Text saved by Windows editors: a byte-order mark and CR LF line ends.
TEST_F(TsvRecordsTest, WindowsText) {
    ASSERT_TRUE(load("region1", "REGION1.dat", "\xEF\xBB\xBFREG:CODREG\tREG:NAME\r\n1\tСеверный\r\n").isOk());
    EXPECT_EQ(dump("region1", "REGION1.dat"), header("region1") + "1\tСеверный\n");
}

// Value records: each element of the group is a column; decimals keep their
// three places exactly, the extremes of the field included.
TEST_F(TsvRecordsTest, OtchetGroupColumns) {
    const std::string tsv =
        "OTC:MES\tOTC:CODUCH\tOTC:UNICODSTR\tOTC:DATA1\tOTC:DATA2\tOTC:DATA25\tOTC:DATA35\tOTC:CODREG\n"
        "3\t1101\t7\t1.5\t-0.001\t99999999999999.999\t-99999999999999.999\t11\n"
        "3\t1101\t8\t12.250\t+4\t0\t\t11\n";
    ASSERT_TRUE(load("otchet", "F0012.dat", tsv).isOk());

    KeyedFile file(def("otchet"), dir_ / "F0012.dat");
    ASSERT_TRUE(file.open().isOk());
    Record r(def("otchet"));
    ASSERT_TRUE(file.get(1, r).isOk());
    EXPECT_EQ(r.num("OTC:DATA", 0), 1500);
    EXPECT_EQ(r.num("OTC:DATA", 1), -1);
    EXPECT_EQ(r.num("OTC:DATA", 24), 99'999'999'999'999'999);
    EXPECT_EQ(r.num("OTC:DATA", 34), -99'999'999'999'999'999);
    file.close();

    const std::string dumped = dump("otchet", "F0012.dat");
    const std::string zeros9 = repeat("\t0", 9);
    const std::string expected = header("otchet") + "11\t1101\t0\t3\t0\t7\t1.5\t-0.001" + repeat("\t0", 22) +
                                 "\t99999999999999.999" + zeros9 + "\t-99999999999999.999\n" +
                                 "11\t1101\t0\t3\t0\t8\t12.25\t4" + repeat("\t0", 33) + "\n";
    EXPECT_EQ(dumped, expected);
    ASSERT_TRUE(load("otchet", "F0013.dat", dumped).isOk());
    EXPECT_EQ(dump("otchet", "F0013.dat"), dumped);

    Status st;
    for (const char* bad : {"OTC:DATA36", "OTC:DATA0", "OTC:DATA01", "OTC:DATA"}) {
        LoadReport report;
        st = load("otchet", "F0012.dat", std::string(bad) + "\n", &report);
        EXPECT_EQ(st.message(), "Строка 1: неизвестное поле " + std::string(bad));
        EXPECT_EQ(report.badLine, 1);
    }
    st = load("otchet", "F0012.dat", "OTC:DATA1\n100000000000000\n");
    EXPECT_EQ(st.message(), "Строка 2: число 100000000000000 вне пределов поля OTC:DATA1 (от -99999999999999.999 до "
                            "99999999999999.999)");
}

// Arrays are one column of numbers; REAL values keep their decimals.
TEST_F(TsvRecordsTest, ArraysAndReals) {
    ASSERT_TRUE(load("Rash", "Rash.dat", "RAS:ID\tRAS:GS1\n1\t3 -4  5\n2\t\n3\t" + repeat("1 ", 50) + "\n").isOk());
    const std::string dumped = dump("Rash", "Rash.dat");
    EXPECT_EQ(dumped, header("Rash") + "1\t0\t0\t0\t0\t3 -4 5\n2\t0\t0\t0\t0\t0\n3\t0\t0\t0\t0\t" +
                          repeat("1 ", 49) + "1\n");
    ASSERT_TRUE(load("Rash", "copy.dat", dumped).isOk());
    EXPECT_EQ(dump("Rash", "copy.dat"), dumped);

    Status st = load("Rash", "Rash.dat", "RAS:ID\tRAS:GS1\n4\t" + repeat("1 ", 51) + "\n");
    EXPECT_EQ(st.message(), "Строка 2: в поле RAS:GS1 больше 50 чисел");
    st = load("Rash", "Rash.dat", "RAS:ID\tRAS:GS1\n4\t1 100000\n");
    EXPECT_TRUE(st.message().starts_with("Строка 2: число 100000 вне пределов поля RAS:GS1")) << st.message();

    ASSERT_TRUE(load("Pokas", "POKAS.dat", "POK:UNICOD\tPOK:HISLO\n1\t1000.25\n2\t-0.5\n3\t1e5\n").message().starts_with(
        "Строка 4: неверное число \"1e5\" в поле POK:HISLO"));
    ASSERT_TRUE(load("Pokas", "POKAS.dat", "POK:UNICOD\tPOK:HISLO\n1\t1000.25\n2\t-0.5\n").isOk());
    const std::string pokas = dump("Pokas", "POKAS.dat");
    EXPECT_NE(pokas.find("1\t0\t0\t0\t0\t0\t1000.25\t"), std::string::npos) << pokas;
    EXPECT_NE(pokas.find("2\t0\t0\t0\t0\t0\t-0.5\t"), std::string::npos) << pokas;

    // A REAL with more digits than any message shows still comes back exactly.
    ASSERT_TRUE(load("Pokas", "exact.dat", "POK:UNICOD\tPOK:HISLO\n1\t0.1234567890123456789\n").isOk());
    const std::string exact = dump("Pokas", "exact.dat");
    ASSERT_TRUE(load("Pokas", "exact2.dat", exact).isOk());
    EXPECT_EQ(dump("Pokas", "exact2.dat"), exact);
    EXPECT_NE(exact.find("\t0.12345678901234568\t"), std::string::npos) << exact;
}

// Key order from a start value, forwards and backwards, with a text component.
TEST_F(TsvRecordsTest, DumpByKey) {
    ASSERT_TRUE(load("stroka", "Stroka.dat",
                     "STR:CODFORM\tSTR:UNICOD\tSTR:CODTABL\tSTR:NUMBER\tSTR:CODSTR\n"
                     "12\t5\t1000\t1\t03\n13\t1\t1000\t1\t01\n12\t2\t1000\t2\t01\n12\t9\t2000\t1\t02\n")
                    .isOk());
    auto unicods = [&](const char* key, std::vector<std::string> from, Direction dir) {
        std::istringstream lines(dump("stroka", "Stroka.dat", def("stroka").key(key), from, dir));
        std::string line, out;
        std::getline(lines, line);
        while (std::getline(lines, line)) out += (out.empty() ? "" : " ") + line.substr(0, line.find('\t'));
        return out;
    };
    EXPECT_EQ(unicods("STR:KEYUNICOD", {}, Direction::Forward), "2 5 9 1");
    EXPECT_EQ(unicods("STR:KEYUNICOD", {"12", "5"}, Direction::Forward), "5 9 1");
    EXPECT_EQ(unicods("STR:KEYUNICOD", {"12", "5"}, Direction::Backward), "5 2");
    EXPECT_EQ(unicods("STR:KEYUNICOD", {}, Direction::Backward), "1 9 5 2");
    EXPECT_EQ(unicods("STR:STR1", {"12", "1000", "02"}, Direction::Forward), "5 9 1");
    EXPECT_EQ(unicods("STR:STR1", {"12", "2000"}, Direction::Backward), "9 5 2");

    KeyedFile file(def("stroka"), dir_ / "Stroka.dat");
    std::ostringstream out;
    Status st = data::dumpTsv(file, out, def("stroka").key("STR:KEYUNICOD"), {"12", "5", "1"});
    EXPECT_EQ(st.message(), "У ключа STR:KEYUNICOD полей: 2, начальных значений: 3");
    st = data::dumpTsv(file, out, def("stroka").key("STR:KEYUNICOD"), {"двенадцать"});
    EXPECT_EQ(st.message(), "Начальное значение ключа STR:KEYUNICOD: неверное число \"двенадцать\" в поле STR:CODFORM");
}

// A stored text that TSV cannot carry stops the dump with a message rather
// than writing a line that would load as something else.
TEST_F(TsvRecordsTest, TextWithTabIsNotDumped) {
    ASSERT_TRUE(KeyedFile::create(def("region1"), dir_ / "REGION1.dat").isOk());
    KeyedFile file(def("region1"), dir_ / "REGION1.dat");
    ASSERT_TRUE(file.open().isOk());
    Record r(def("region1"));
    r.setNum("REG:CODREG", 1);
    r.setText("REG:NAME", "Север\tЮг");
    ASSERT_TRUE(file.add(r).isOk());
    std::ostringstream out;
    Status st = data::dumpTsv(file, out);
    EXPECT_FALSE(st.isOk());
    EXPECT_NE(st.message().find("запись 1: текст поля REG:NAME содержит табуляцию"), std::string::npos)
        << st.message();
}

}  // namespace
