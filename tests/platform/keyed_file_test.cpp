#include "platform/keyed_file.h"

#include "data/dictionary.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavir;
using platform::Cursor;
using platform::Direction;
using platform::ErrorKind;
using platform::KeyedFile;
using platform::OpenMode;
using platform::Record;

namespace {

class KeyedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tavir-kf-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path made(std::string_view label, const std::string& name) {
        auto path = dir_ / name;
        EXPECT_TRUE(KeyedFile::create(*data::findFile(label), path).isOk());
        return path;
    }

    static Record value(int mes, int uch, int row, int64_t data1 = 0) {
        Record r(*data::findFile("otchet"));
        r.setNum("OTC:MES", mes);
        r.setNum("OTC:CODUCH", uch);
        r.setNum("OTC:UNICODSTR", row);
        r.setNum("OTC:DATA", data1, 0);
        return r;
    }

    static std::vector<int64_t> collect(Cursor cursor, const char* field) {
        std::vector<int64_t> out;
        Record r(*data::findFile("otchet"));
        if (std::string_view(field).starts_with("BOL")) r = Record(*data::findFile("bolnbol"));
        while (cursor.next(r)) out.push_back(r.num(field));
        EXPECT_TRUE(cursor.status().isOk()) << cursor.status().message();
        return out;
    }

    std::filesystem::path dir_;
};

TEST_F(KeyedFileTest, OpenNeverCreatesAndNamesTheFile) {
    auto path = dir_ / "F0007.dat";
    KeyedFile file(*data::findFile("otchet"), path);
    auto st = file.open();
    EXPECT_EQ(st.kind(), ErrorKind::NotFound);
    EXPECT_NE(st.message().find(path.string()), std::string::npos) << st.message();
    EXPECT_NE(st.message().find("No such file"), std::string::npos) << st.message();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(KeyedFileTest, DamagedAndForeignSchemaFilesAreRefused) {
    auto garbage = dir_ / "garbage.dat";
    std::ofstream(garbage) << std::string(5000, 'x');
    KeyedFile g(*data::findFile("otchet"), garbage);
    auto st = g.open();
    EXPECT_EQ(st.kind(), ErrorKind::Damaged) << st.message();
    EXPECT_NE(st.message().find(garbage.string()), std::string::npos);
    EXPECT_NE(st.message().find("not a database"), std::string::npos) << st.message();

    // A value file opened as a row file: the table does not match.
    auto values = made("otchet", "F0012.dat");
    KeyedFile wrong(*data::findFile("stroka"), values);
    EXPECT_EQ(wrong.open().kind(), ErrorKind::SchemaMismatch);
}

TEST_F(KeyedFileTest, UniqueKeyRefusesSecondRecord) {
    KeyedFile file(*data::findFile("otchet"), made("otchet", "F0012.dat"));
    ASSERT_TRUE(file.open().isOk());
    Record a = value(3, 312, 10, 1500);
    ASSERT_TRUE(file.add(a).isOk());
    EXPECT_EQ(a.position, 1);
    Record b = value(3, 312, 10, 2500);
    auto st = file.add(b);
    EXPECT_EQ(st.kind(), ErrorKind::Duplicate);
    EXPECT_NE(st.message().find("OTC:KEYCODUCH"), std::string::npos) << st.message();
    EXPECT_EQ(file.count(), 1);
    Record c = value(4, 312, 10);
    EXPECT_TRUE(file.add(c).isOk());
    EXPECT_EQ(file.count(), 2);
}

TEST_F(KeyedFileTest, DuplicateKeyKeepsPositionOrder) {
    const auto& def = *data::findFile("bolnbol");
    KeyedFile file(def, made("bolnbol", "BOLN.dat"));
    ASSERT_TRUE(file.open().isOk());
    // Facilities of district 5 added out of code order, among other districts.
    const std::pair<int, int> rows[] = {{509, 5}, {101, 1}, {502, 5}, {507, 5}, {301, 3}, {501, 5}};
    for (auto [code, reg] : rows) {
        Record r(def);
        r.setNum("BOL:UNICOD", code);
        r.setNum("BOL:CODREG", reg);
        ASSERT_TRUE(file.add(r).isOk());
    }
    const auto* key = def.key("BOL:KEYCODREG");
    EXPECT_EQ(collect(file.equal(*key, {5}), "BOL:UNICOD"), (std::vector<int64_t>{509, 502, 507, 501}));
    EXPECT_EQ(collect(file.byKey(*key), "BOL:UNICOD"), (std::vector<int64_t>{101, 301, 509, 502, 507, 501}));
}

TEST_F(KeyedFileTest, ReadsFromStartValueForwardsAndBackwards) {
    const auto& def = *data::findFile("otchet");
    KeyedFile file(def, made("otchet", "F0012.dat"));
    ASSERT_TRUE(file.open().isOk());
    for (int mes : {3, 1, 2}) {
        for (int uch : {20, 10}) {
            for (int row : {2, 1}) {
                Record r = value(mes, uch, row);
                ASSERT_TRUE(file.add(r).isOk());
            }
        }
    }
    const auto& key = *def.key("OTC:KEYCODUCH");
    auto rowsOf = [&](Cursor c) {
        std::vector<std::string> out;
        Record r(def);
        while (c.next(r)) {
            out.push_back(std::to_string(r.num("OTC:MES")) + "/" + std::to_string(r.num("OTC:CODUCH")) + "/" +
                          std::to_string(r.num("OTC:UNICODSTR")));
        }
        return out;
    };
    EXPECT_EQ(rowsOf(file.byKey(key, {2, 20})),
              (std::vector<std::string>{"2/20/1", "2/20/2", "3/10/1", "3/10/2", "3/20/1", "3/20/2"}));
    EXPECT_EQ(rowsOf(file.byKey(key, {2, 10}, Direction::Backward)),
              (std::vector<std::string>{"2/10/2", "2/10/1", "1/20/2", "1/20/1", "1/10/2", "1/10/1"}));
    EXPECT_EQ(rowsOf(file.equal(key, {1, 20})), (std::vector<std::string>{"1/20/1", "1/20/2"}));
    // Position order, from a position and backwards from the end.
    EXPECT_EQ(rowsOf(file.byPosition(11)), (std::vector<std::string>{"2/10/2", "2/10/1"}));
    EXPECT_EQ(rowsOf(file.byPosition(0, Direction::Backward)).front(), "2/10/1");
    // Two cursors over the same statement text at once do not disturb each other.
    Cursor outer = file.equal(key, {1, 10});
    Record r(def);
    ASSERT_TRUE(outer.next(r));
    EXPECT_EQ(rowsOf(file.equal(key, {1, 10})).size(), 2u);
    ASSERT_TRUE(outer.next(r));
    EXPECT_EQ(r.num("OTC:UNICODSTR"), 2);

    // Reading only some fields leaves the others zero, not stale.
    const std::vector<int> some{def.fieldIndex("OTC:UNICODSTR")};
    Cursor narrow = file.byKey(key, {3, 20}, Direction::Forward, some);
    ASSERT_TRUE(narrow.next(r));
    EXPECT_EQ(r.num("OTC:UNICODSTR"), 1);
    EXPECT_EQ(r.num("OTC:MES"), 0);
    EXPECT_EQ(r.num("OTC:CODUCH"), 0);
}

TEST_F(KeyedFileTest, ArraysAndTextsRoundTrip) {
    const auto& rash = *data::findFile("Rash");
    KeyedFile file(rash, made("Rash", "Rash.dat"));
    ASSERT_TRUE(file.open().isOk());
    Record r(rash);
    r.setNum("RAS:ID", 7);
    // All fifty operands in use, with signs and the extremes of DECIMAL 3,0.
    for (int i = 0; i < 50; ++i) r.setNum("RAS:GS1", (i % 2 ? -1 : 1) * (i + 1) * 1000 % 99999, i);
    r.setNum("RAS:GS1", -99999, 49);
    ASSERT_TRUE(file.add(r).isOk());
    Record back(rash);
    ASSERT_TRUE(file.get(r.position, back).isOk());
    EXPECT_EQ(back, r);

    const auto& stroka = *data::findFile("stroka");
    KeyedFile rows(stroka, made("stroka", "Stroka.dat"));
    ASSERT_TRUE(rows.open().isOk());
    Record s(stroka);
    s.setText("STR:NAME", "Болезни системы кровообращения   ");
    s.setText("STR:CODSTR", "10.1234567890");  // cut to its ten characters
    ASSERT_TRUE(rows.add(s).isOk());
    Record sb(stroka);
    ASSERT_TRUE(rows.get(s.position, sb).isOk());
    EXPECT_EQ(sb.text("STR:NAME"), "Болезни системы кровообращения");
    EXPECT_EQ(sb.text("STR:CODSTR"), "10.1234567");

    Record big(stroka);
    big.setNum("STR:NUMBER", 256);  // a BYTE
    EXPECT_EQ(rows.add(big).kind(), ErrorKind::Invalid);
}

TEST_F(KeyedFileTest, FailedChangeLeavesFileAsItWas) {
    KeyedFile file(*data::findFile("otchet"), made("otchet", "F0012.dat"));
    ASSERT_TRUE(file.open().isOk());
    Record keep = value(1, 5, 1, 1000);
    ASSERT_TRUE(file.add(keep).isOk());
    {
        platform::Transaction tx(file);
        ASSERT_TRUE(tx.status().isOk());
        ASSERT_TRUE(file.remove(keep.position).isOk());
        Record a = value(1, 5, 2, 2000), dup = value(1, 5, 2, 3000);
        ASSERT_TRUE(file.add(a).isOk());
        ASSERT_FALSE(file.add(dup).isOk());
        // Leaving the scope without commit undoes the whole change.
    }
    EXPECT_EQ(file.count(), 1);
    Record back(*data::findFile("otchet"));
    ASSERT_TRUE(file.get(keep.position, back).isOk());
    EXPECT_EQ(back.num("OTC:DATA", 0), 1000);

    // A nested change that fails spoils the outer one.
    ASSERT_TRUE(file.begin().isOk());
    ASSERT_TRUE(file.remove(keep.position).isOk());
    ASSERT_TRUE(file.begin().isOk());
    file.rollback();
    EXPECT_FALSE(file.commit().isOk());
    EXPECT_EQ(file.count(), 1);
}

TEST_F(KeyedFileTest, ExclusiveOpenRefusedWhileAnotherProcessHoldsTheFile) {
    auto path = made("bolnbol", "BOLN.dat");
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KeyedFile f(*data::findFile("bolnbol"), path);
        char c = f.open().isOk() ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');

    KeyedFile mine(*data::findFile("bolnbol"), path);
    auto st = mine.open(OpenMode::Exclusive);
    EXPECT_EQ(st.kind(), ErrorKind::Locked);
    EXPECT_NE(st.message().find(path.string()), std::string::npos);
    // A shared open beside the other user is fine.
    KeyedFile shared(*data::findFile("bolnbol"), path);
    EXPECT_TRUE(shared.open().isOk());

    (void)!write(release[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
    shared.close();
    ASSERT_TRUE(mine.open(OpenMode::Exclusive).isOk());
    EXPECT_TRUE(mine.rebuildKeys().isOk());
    // While it is held exclusively, nobody else opens it.
    KeyedFile other(*data::findFile("bolnbol"), path);
    EXPECT_EQ(other.open().kind(), ErrorKind::Locked);
    mine.close();
    EXPECT_TRUE(other.open().isOk());
}

TEST_F(KeyedFileTest, NestedOpensShareOneConnection) {
    KeyedFile file(*data::findFile("otchet"), made("otchet", "F0012.dat"));
    ASSERT_TRUE(file.open().isOk());
    ASSERT_TRUE(file.open().isOk());
    file.close();
    EXPECT_TRUE(file.isOpen());
    Record r = value(1, 1, 1);
    EXPECT_TRUE(file.add(r).isOk());
    file.close();
    EXPECT_FALSE(file.isOpen());
}

TEST_F(KeyedFileTest, ForeignFilesAreReadOnlyAndCheckedExactly) {
    auto path = made("OT2", "exchange.dat");
    {
        KeyedFile w(*data::findFile("OT2"), path);
        ASSERT_TRUE(w.open().isOk());
        Record r(*data::findFile("OT2"));
        r.setNum("OT2:CODFORM", 12);
        ASSERT_TRUE(w.add(r).isOk());
    }
    KeyedFile in(*data::findFile("OT2"), path);
    ASSERT_TRUE(in.open(OpenMode::Foreign).isOk());
    Record r(*data::findFile("OT2"));
    EXPECT_EQ(in.add(r).kind(), ErrorKind::Invalid);
    EXPECT_EQ(in.count(), 1);
    in.close();

    // The same file with a trigger added by someone else is refused.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TRIGGER t AFTER INSERT ON \"OT2\" BEGIN SELECT 1; END", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(in.open(OpenMode::Foreign).kind(), ErrorKind::SchemaMismatch);

    // A value that does not fit its field is refused rather than half read.
    auto bad = made("OT2", "bad.dat");
    ASSERT_EQ(sqlite3_open(bad.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "INSERT INTO \"OT2\" VALUES (5000, 1, 1, 1, 1, 1, 1, x'0000000000')", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    KeyedFile b(*data::findFile("OT2"), bad);
    ASSERT_TRUE(b.open(OpenMode::Foreign).isOk());
    Cursor c = b.byPosition();
    EXPECT_FALSE(c.next(r));
    EXPECT_EQ(c.status().kind(), ErrorKind::Damaged);
}

TEST_F(KeyedFileTest, CreateRefusesToOverwrite) {
    auto path = made("otchet", "F0001.dat");
    EXPECT_FALSE(KeyedFile::create(*data::findFile("otchet"), path).isOk());
}

}  // namespace
