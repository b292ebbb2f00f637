#include "data/records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace tavir::data;

// Every record struct lines up with its file: same number of members, each
// able to hold its field.
TEST(RecordStructs, MatchTheDictionary) {
    EXPECT_TRUE(bindingMatches<Forma>()) << "Forma";
    EXPECT_TRUE(bindingMatches<Tabl>()) << "Tabl";
    EXPECT_TRUE(bindingMatches<Stroka>()) << "Stroka";
    EXPECT_TRUE(bindingMatches<Grafa>()) << "Grafa";
    EXPECT_TRUE(bindingMatches<Rash>()) << "Rash";
    EXPECT_TRUE(bindingMatches<ContrStr>()) << "ContrStr";
    EXPECT_TRUE(bindingMatches<ContrGr>()) << "ContrGr";
    EXPECT_TRUE(bindingMatches<ContrTab>()) << "ContrTab";
    EXPECT_TRUE(bindingMatches<Sapki>()) << "Sapki";
    EXPECT_TRUE(bindingMatches<Otchet>()) << "Otchet";
    EXPECT_TRUE(bindingMatches<Ot2>()) << "Ot2";
    EXPECT_TRUE(bindingMatches<Bolnbol>()) << "Bolnbol";
    EXPECT_TRUE(bindingMatches<Region1>()) << "Region1";
    EXPECT_TRUE(bindingMatches<Viduch>()) << "Viduch";
    EXPECT_TRUE(bindingMatches<Wwod>()) << "Wwod";
    EXPECT_TRUE(bindingMatches<User1>()) << "User1";
    EXPECT_TRUE(bindingMatches<NameProg>()) << "NameProg";
    EXPECT_TRUE(bindingMatches<Pokas>()) << "Pokas";
    EXPECT_TRUE(bindingMatches<Rasres>()) << "Rasres";
    EXPECT_TRUE(bindingMatches<Rasresn>()) << "Rasresn";
    EXPECT_TRUE(bindingMatches<TxtFile>()) << "TxtFile";
}

TEST(RecordStructs, RoundTripThroughRecord) {
    Otchet o;
    o.CODUCH = 312;
    o.MES = 3;
    o.DATA[0] = Decimal::fromMilli(12500);
    o.DATA[24] = Decimal::fromMilli(-1);
    tavir::platform::Record r(defOf<Otchet>());
    toRecord(o, r);
    EXPECT_EQ(r.num("OTC:CODUCH"), 312);
    EXPECT_EQ(r.num("OTC:DATA", 24), -1);
    Otchet back;
    fromRecord(r, back);
    EXPECT_EQ(back.DATA[0].milli(), 12500);
    EXPECT_EQ(back.MES, 3);

    Stroka s;
    s.NAME = "Всего   ";
    tavir::platform::Record sr(defOf<Stroka>());
    toRecord(s, sr);
    EXPECT_EQ(sr.text("STR:NAME"), "Всего");
}

TEST(RecordStructs, TypedFileUnderAnotherLabel) {
    auto dir = std::filesystem::temp_directory_path() / ("tavir-rs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto path = dir / "TablP.dat";
    std::filesystem::remove(path);
    ASSERT_TRUE(tavir::platform::KeyedFile::create(*findFile("TablP"), path).isOk());
    RecordFile<Tabl> file(path, "TablP");
    ASSERT_TRUE(file.open().isOk());
    for (int code : {3, 1, 2}) {
        Tabl t;
        t.UNICODT = code;
        t.CODFORM = 12;
        t.CODTABL = code * 1000;
        t.NAME = "Таблица " + std::to_string(code);
        ASSERT_TRUE(file.add(t).isOk());
    }
    auto cursor = file.byKey("TAB:TAB1", {12, 2000});
    Tabl t;
    std::vector<int> seen;
    while (cursor.next(t)) seen.push_back(t.CODTABL);
    EXPECT_EQ(seen, (std::vector<int>{2000, 3000}));
    EXPECT_EQ(t.NAME, "Таблица 3");
    file.close();
    std::filesystem::remove_all(dir);
}
