#include "exchange/report_export.h"

#include "../controls/controls_fixture.h"
#include "../support/cli_runner.h"
#include "controls/control_run.h"
#include "exchange/exchange_file.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <memory>

using namespace tavir;
using namespace tavir::exchange;
using namespace tavir::fixture;

namespace {

// District 5 "Береговой" holds facilities 284 and 501, district 6 facility
// 601, city 101 facility 1011. Forms of 2014: 1 and 5 annual, 30 and 31
// monthly, 40 and 41 quarterly, 12 quarterly with rule 10 ("row 1 is 0,
// then row 2 is 0") failing for 501 in quarter 2, 9 weekly, 7 annual but
// switched off.
class ReportExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        fx.regions({{5, "Береговой"}, {6, "Озерный"}, {101, "Тарвин"}});
        fx.facilities({InstallationFixture::facility(284, 5, "ЦРБ"), InstallationFixture::facility(501, 5, "Больница А"),
                       InstallationFixture::facility(601, 6, "Озерная ЦРБ"),
                       InstallationFixture::facility(1011, 101, "Горбольница")});
        YearFiles y;
        y.forms = {InstallationFixture::form(40, "40", "Квартальная 40", 2),
                   InstallationFixture::form(5, "5", "Годовая 5", 0),
                   InstallationFixture::form(31, "31", "Месячная 31", 1),
                   InstallationFixture::form(9, "9", "Недельная", 4),
                   InstallationFixture::form(1, "1", "Годовая 1", 0),
                   InstallationFixture::form(30, "30", "Месячная 30", 1),
                   InstallationFixture::form(41, "41", "Квартальная 41", 2),
                   InstallationFixture::form(7, "7", "Отключенная", 0, 1),
                   InstallationFixture::form(12, "12", "Сведения о заболеваемости", 2)};
        y.tables = {table(12, 1, 1, 3)};
        y.rows = {row(12, 1, 1, 1, "1"), row(12, 1, 2, 2, "2")};
        y.rowRules = {rowRule(10, 12, 2, 1, 6, {2})};
        writeYear(fx, y);
        const auto& inst = fx.installation();
        fx.write(inst.valueFile(kYear, 1), std::vector{value(5, 284, 1, 0, 1, {1}), value(6, 601, 1, 0, 1, {2})});
        fx.write(inst.valueFile(kYear, 5), std::vector{value(5, 284, 1, 0, 1, {1})});
        fx.write(inst.valueFile(kYear, 30), std::vector{value(5, 284, 1, 10, 1, {1}), value(5, 284, 1, 10, 2, {2}),
                                                        value(5, 284, 1, 9, 1, {9})});
        fx.write(inst.valueFile(kYear, 31), std::vector{value(5, 284, 1, 10, 1, {1}), value(5, 284, 1, 11, 1, {1})});
        fx.write(inst.valueFile(kYear, 40), std::vector{value(5, 284, 1, 3, 1, {1}), value(5, 501, 1, 2, 1, {1}),
                                                        value(6, 601, 1, 2, 1, {4})});
        fx.write(inst.valueFile(kYear, 41), std::vector{value(101, 1011, 1, 2, 1, {1}), value(5, 501, 1, 1, 1, {1})});
        fx.write(inst.valueFile(kYear, 12), std::vector{value(5, 501, 1, 2, 2, {2})});
        data::NameProg program;
        program.MAIL = "oblast@example.org";
        program.MAILTAR = "tarvin@example.org";
        fx.program({program});
        std::filesystem::create_directories(fx.dir() / "export");
        std::filesystem::create_directories(fx.dir() / "out");
        settings(app::kSubjectFacility, 5, 284);
        state.globYear = kYear;
    }

    void settings(int type, int district, int code, std::string s1 = "") {
        data::User1 u;
        u.TIPUSER = type;
        u.CODREG = district;
        u.KODUSER = code;
        u.S1 = std::move(s1);
        std::filesystem::remove(fx.dir() / "USER1.dat");
        fx.settings({u});
        state.setSubject({type, district, code, ""});
    }

    // The export opened, its periods chosen and the listed forms of `marked`
    // marked.
    ReportExport& opened(PeriodChoice periods, std::vector<int> marked, std::string path = "\\out\\") {
        exporter = std::make_unique<ReportExport>(fx.installation(), state, ui, views);
        EXPECT_TRUE(exporter->open().isOk());
        exporter->setExchangePath(path);
        exporter->periods = periods;
        EXPECT_TRUE(exporter->proceed());
        for (size_t i = 0; i < exporter->forms().size(); ++i) {
            const int form = exporter->forms()[i].form;
            exporter->setMarked(i, std::find(marked.begin(), marked.end(), form) != marked.end());
        }
        return *exporter;
    }

    std::vector<data::Ot2> written(const std::filesystem::path& file) {
        std::vector<data::Ot2> out;
        data::RecordFile<data::Ot2> f(file, data::label::ot2);
        EXPECT_TRUE(f.open(platform::OpenMode::Foreign).isOk()) << file;
        auto cursor = f.all();
        data::Ot2 r;
        while (cursor.next(r)) out.push_back(r);
        return out;
    }

    InstallationFixture fx;
    app::SharedState state;
    platform::ScriptedInteraction ui;
    RecordingViews views;
    std::unique_ptr<ReportExport> exporter;
};

TEST_F(ReportExportTest, FormListByPeriodTypeAndCode) {
    auto& e = opened({10, 3, 0, true}, {});
    std::vector<std::string> lines;
    for (const auto& f : e.forms()) lines.push_back(std::to_string(f.form) + " " + f.typeWord + " " + std::to_string(f.period));
    // Switched-off form 7 and weekly form 9 are not listed; half-years not chosen.
    EXPECT_EQ(lines, (std::vector<std::string>{"1 год 0", "5 год 0", "30 месяц 10", "31 месяц 10", "12 квартал 3",
                                               "40 квартал 3", "41 квартал 3"}));
    EXPECT_EQ(e.subject().districtLabel, "Береговой");
    EXPECT_EQ(e.subject().facilityLabel, "ЦРБ");
    // No period chosen: the message, and the first window stays.
    ReportExport again(fx.installation(), state, ui, views);
    ASSERT_TRUE(again.open().isOk());
    EXPECT_FALSE(again.proceed());
    EXPECT_EQ(ui.messages().back(), kNoPeriod);
}

TEST_F(ReportExportTest, FileNamesByTheMarkerRule) {
    struct Case {
        int type, district, code;
        PeriodChoice periods;
        std::vector<int> marked;
        std::string name;
    };
    const std::vector<Case> cases{
        {app::kSubjectFacility, 5, 284, {10, 3, 0, true}, {1, 5, 30, 31, 40}, "u284F1F5m10F30F31k3F40.dat"},
        {app::kSubjectRegion, 0, 0, {0, 2, 0, false}, {40, 41}, "vk2F40F41.dat"},
        // Only annual forms: the run starts as if after an annual form.
        {app::kSubjectFacility, 5, 284, {0, 0, 0, true}, {1, 5}, "u284F1F5.dat"},
        // A form without records adds nothing; form 31 after the empty form
        // 30 of the same type gets only its code.
        {app::kSubjectFacility, 5, 284, {9, 0, 0, false}, {31, 30}, "u284m9F30.dat"},
        {app::kSubjectFacility, 5, 284, {11, 0, 0, false}, {31, 30}, "u284F31.dat"},
        {app::kSubjectFacility, 5, 284, {10, 0, 0, true}, {1, 30, 31}, "u284F1m10F30F31.dat"},
        {app::kSubjectDistrict, 5, 5, {0, 2, 0, false}, {40, 41}, "r5k2F40.dat"},
    };
    for (const Case& c : cases) {
        settings(c.type, c.district, c.code);
        auto& e = opened(c.periods, c.marked);
        ASSERT_TRUE(e.exportMarked());
        EXPECT_EQ(e.lastRun().name, c.name);
        EXPECT_TRUE(e.lastRun().written) << c.name;
        EXPECT_EQ(e.lastRun().target, fx.dir() / "out" / c.name);
        EXPECT_TRUE(std::filesystem::exists(fx.dir() / "out" / c.name)) << c.name;
    }
}

TEST_F(ReportExportTest, ResultLinesAndMessages) {
    auto& e = opened({9, 0, 0, false}, {30, 31});
    ASSERT_TRUE(e.exportMarked());
    ASSERT_EQ(e.results().size(), 2u);
    EXPECT_EQ(e.results()[0].periodText, "Сентябрь");
    EXPECT_EQ(e.results()[0].count, 1);
    EXPECT_EQ(e.results()[1].count, 0);
    EXPECT_EQ(e.total(), 1);
    EXPECT_EQ(ui.messages().back(), kDone);
    EXPECT_EQ(e.textLine(), "Файл  " + (fx.dir() / "out" / "u284m9F30.dat").string() + "  отправить на   oblast@example.org");

    // The working file of the facility.
    EXPECT_TRUE(std::filesystem::exists(fx.dir() / "export" / "W0284.dat"));

    // Nothing marked.
    e.markAll(false);
    ASSERT_TRUE(e.exportMarked());
    EXPECT_EQ(ui.messages().back(), kNothingMarked);
    EXPECT_EQ(e.results().size(), 2u);

    // Nothing to export: an old file of the same name goes all the same.
    e.markAll(true);
    e.setMarked(0, false);  // form 30 listed first
    std::filesystem::create_directories(fx.dir() / "out");
    { std::ofstream(fx.dir() / "out" / "u284.dat") << "old"; }
    ASSERT_TRUE(e.exportMarked());
    EXPECT_EQ(ui.messages().back(), kNothingExported);
    EXPECT_EQ(e.textLine(), kCheckReports);
    EXPECT_EQ(e.total(), 0);
    EXPECT_EQ(e.results().size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(fx.dir() / "out" / "u284.dat"));
    EXPECT_TRUE(ui.unexpected().empty());
}

TEST_F(ReportExportTest, ExchangePaths) {
    // "\export\" is under the working directory; a path typed without its
    // final "\" is completed.
    auto& e = opened({10, 0, 0, false}, {31}, "\\export");
    EXPECT_EQ(e.exchangePath(), "\\export\\");
    ASSERT_TRUE(e.exportMarked());
    EXPECT_TRUE(std::filesystem::exists(fx.dir() / "export" / "u284m10F31.dat"));
    EXPECT_EQ(state.exchangePath(), "\\export\\");

    // An absolute path of this system is taken as it is.
    const auto absolute = fx.dir() / "abs";
    std::filesystem::create_directories(absolute);
    auto& a = opened({10, 0, 0, false}, {31}, absolute.string());
    ASSERT_TRUE(a.exportMarked());
    EXPECT_TRUE(std::filesystem::exists(absolute / "u284m10F31.dat"));

    std::filesystem::path target;
    const std::vector<std::filesystem::path> media{"/media/u/STICK", "/media/u/ZIP"};
    ASSERT_TRUE(exchangeTarget(fx.installation(), "a:\\1\\", "x.dat", target, media).isOk());
    EXPECT_EQ(target, "/media/u/STICK/1/x.dat");
    ASSERT_TRUE(exchangeTarget(fx.installation(), "F:\\", "x.dat", target, media).isOk());
    EXPECT_EQ(target, "/media/u/ZIP/x.dat");
    EXPECT_FALSE(exchangeTarget(fx.installation(), "A:\\", "x.dat", target, {}).isOk());

    // The candidate list: the user's folders, then the fixed entries.
    settings(app::kSubjectFacility, 5, 284, "D:\\1\\");
    ReportExport c(fx.installation(), state, ui, views);
    ASSERT_TRUE(c.open().isOk());
    EXPECT_EQ(c.candidates(), (std::vector<std::string>{"D:\\1\\", "A:\\", "F:\\", "\\export\\", "C:\\1\\"}));
    EXPECT_EQ(c.exchangePath(), "D:\\1\\");
}

TEST_F(ReportExportTest, DistrictFileHoldsItsFacilitiesOfTheChosenPeriodsOnly) {
    settings(app::kSubjectDistrict, 5, 5);
    auto& e = opened({0, 2, 0, true}, {1, 40, 41});
    ASSERT_TRUE(e.exportMarked());
    EXPECT_EQ(e.lastRun().name, "r5F1k2F40.dat");
    std::vector<std::string> got;
    for (const auto& r : written(e.lastRun().target)) {
        got.push_back(std::to_string(r.CODFORM) + ":" + std::to_string(r.CODUCH) + ":" + std::to_string(r.MES));
    }
    // Facility 601 of district 6, 284's quarter 3 and 501's quarter 1 stay out.
    EXPECT_EQ(got, (std::vector<std::string>{"1:284:0", "40:501:2"}));
    EXPECT_EQ(e.address(), "oblast@example.org");

    // A facility of Тарвин sends to the city's address.
    settings(app::kSubjectFacility, 101, 1011);
    auto& t = opened({0, 2, 0, false}, {41});
    EXPECT_EQ(t.address(), "tarvin@example.org");
}

TEST_F(ReportExportTest, ControlErrorsAskBeforeWriting) {
    // Form 12 is quarterly: it is checked at the quarter it is exported for,
    // with no month chosen at all.
    settings(app::kSubjectDistrict, 5, 5);
    auto& e = opened({0, 2, 0, false}, {12});
    ui.answerAsk(2);  // "НЕТ"
    ASSERT_TRUE(e.exportMarked());
    ASSERT_EQ(views.results.size(), 1u);
    EXPECT_EQ(views.results[0].lines().at(0).subject, 501);
    EXPECT_EQ(ui.questions(), (std::vector<std::string>{std::string(kControlErrors)}));
    EXPECT_TRUE(e.results().empty());
    EXPECT_FALSE(std::filesystem::exists(fx.dir() / "out" / "r5k2F12.dat"));

    ui.answerAsk(1);  // "ДА"
    ASSERT_TRUE(e.exportMarked());
    EXPECT_TRUE(std::filesystem::exists(fx.dir() / "out" / "r5k2F12.dat"));
}

TEST_F(ReportExportTest, TargetThatCannotBeWrittenIsToldNotDone) {
    // Something else holds the target's name: the run says so, leaves it
    // and no part of a copy behind, and does not report "ГОТОВО ".
    const auto blocked = fx.dir() / "out" / "u284m10F31.dat";
    std::filesystem::create_directories(blocked / "inside");
    auto& e = opened({10, 0, 0, false}, {31});
    ASSERT_TRUE(e.exportMarked());
    EXPECT_FALSE(e.lastRun().written);
    EXPECT_NE(ui.messages().back(), kDone);
    EXPECT_TRUE(ui.messages().back().starts_with("Файл " + blocked.string() + " не записан: ")) << ui.messages().back();
    EXPECT_TRUE(std::filesystem::exists(blocked / "inside"));
    EXPECT_FALSE(std::filesystem::exists(fx.dir() / "out" / "~u284m10F31.dat.part"));
    EXPECT_TRUE(e.textLine().empty());
}

TEST_F(ReportExportTest, NoWorkingFileEndsTheProcedure) {
    std::filesystem::remove_all(fx.dir() / "export");
    auto& e = opened({10, 0, 0, false}, {31});
    EXPECT_FALSE(e.exportMarked());
    EXPECT_EQ(ui.messages().back(), kInsertDisk);
}

TEST_F(ReportExportTest, FacilityWithoutCodeEndsAfterTheRun) {
    settings(app::kSubjectFacility, 5, 0);
    auto& e = opened({10, 0, 0, false}, {31});
    EXPECT_FALSE(e.exportMarked());
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{std::string(kWrongSettings), std::string(controls::kNothingChecked),
                                                      std::string(kNothingExported), std::string(kNoFacility)}));
}

TEST_F(ReportExportTest, FileCarriesItsDescription) {
    auto& e = opened({10, 0, 0, false}, {31});
    ASSERT_TRUE(e.exportMarked());
    data::RecordFile<data::Ot2> f(e.lastRun().target, data::label::ot2);
    ASSERT_TRUE(f.open(platform::OpenMode::Foreign).isOk());
    platform::KeyedFile::Description d;
    ASSERT_TRUE(f.readDescription(d).isOk());
    ASSERT_GE(d.size(), 4u);
    EXPECT_EQ(d[0], (std::pair<std::string, std::string>{"year", "2014"}));
    EXPECT_EQ(d[3], (std::pair<std::string, std::string>{"subject_code", "284"}));
    f.close();

    // The control run's reading of exchange files takes it.
    controls::BatchRequest r;
    r.period = 10;
    r.forms = {{31, true, "Месячная 31", e.lastRun().target}};
    r.facility = entry::FacilityLine{284, 5, "ЦРБ"};
    r.fromFiles = true;
    bool errors = true;
    ASSERT_TRUE(controls::controlRunBatchEntry({fx.installation(), ui, kYear, {}}, views, r, errors).isOk());
    for (const auto& m : ui.messages()) EXPECT_FALSE(m.starts_with("Otchet2-err")) << m;

    // A file without the table gives no lines; another extra table is refused.
    const auto plain = fx.dir() / "plain.dat";
    writeAs(plain, data::label::ot2, std::vector<data::Ot2>{fixture::exchange(31, value(5, 284, 1, 10, 1, {1}))});
    data::RecordFile<data::Ot2> p(plain, data::label::ot2);
    ASSERT_TRUE(p.open(platform::OpenMode::Foreign).isOk());
    ASSERT_TRUE(p.readDescription(d).isOk());
    EXPECT_TRUE(d.empty());
    p.close();
    {
        data::RecordFile<data::Ot2> w(plain, data::label::ot2);
        ASSERT_TRUE(w.open().isOk());
        ASSERT_TRUE(w.writeDescription({{"year", "2014"}}).isOk());
    }
    ASSERT_EQ(written(plain).size(), 1u);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(plain.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE other (x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    data::RecordFile<data::Ot2> bad(plain, data::label::ot2);
    EXPECT_EQ(bad.open(platform::OpenMode::Foreign).kind(), platform::ErrorKind::SchemaMismatch);
}

TEST_F(ReportExportTest, CommandLine) {
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--workdir", fx.dir().string(), "--year", "2014", "export", "--to", "\\out"});
        return tavir::testing::runCli(args, fx.dir());
    };
    auto r = run({"--month", "10", "--forms", "31,30"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto file = fx.dir() / "out" / "u284m10F30F31.dat";
    EXPECT_EQ(r.out, "30\tМесячная 30\tОктябрь\t2\n31\tМесячная 31\tОктябрь\t1\n" + file.string() + "\n");
    EXPECT_EQ(written(file).size(), 3u);

    // Every listed form when none is named; nothing written gives status 1.
    r = run({"--month", "8"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "30\tМесячная 30\tАвгуст\t0\n31\tМесячная 31\tАвгуст\t0\n");
    EXPECT_NE(r.err.find(kNothingExported), std::string::npos) << r.err;
    EXPECT_EQ(run({"--month", "13"}).status, 2);
    EXPECT_EQ(run({"--annual", "--forms", "30"}).status, 1);

    // Control errors: stopped unless told to go on.
    settings(app::kSubjectDistrict, 5, 5);
    r = run({"--quarter", "2", "--forms", "12"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Продолжить выгрузку? (НЕТ)"), std::string::npos) << r.err;
    r = run({"--quarter", "2", "--forms", "12", "--on-errors", "continue"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(fx.dir() / "out" / "r5k2F12.dat"));
}

// --- Consolidated export ---------------------------------------------------

TEST_F(ReportExportTest, ConsolidatedExport) {
    std::vector<ConsolidatedExportRow> rows(2);
    rows[0] = {1, 11, {}};
    rows[0].values[0] = platform::Decimal::fromDouble(1.5);
    rows[0].values[24] = platform::Decimal::fromDouble(25);
    rows[1] = {2, 21, {}};
    struct Case {
        int type, district, code;
        int facility;
    };
    for (const Case& c : std::vector<Case>{{app::kSubjectDistrict, 101, 101, 21101},
                                           {app::kSubjectRegion, 0, 0, 20000},
                                           {app::kSubjectFacility, 5, 284, 284}}) {
        settings(c.type, c.district, c.code);
        ConsolidatedExport e(fx.installation(), state, ui);
        ASSERT_TRUE(e.open().isOk());
        // No "\" is added: the name runs on from the path.
        e.setExchangePath("\\out");
        std::filesystem::create_directories(fx.dir() / "out");
        ASSERT_TRUE(e.write(12, 4, rows).isOk());
        const auto file = fx.dir() / ("outssw" + std::to_string(c.code) + "F12.dat");
        EXPECT_EQ(e.file(), file);
        EXPECT_EQ(ui.messages().back(), "Число записей:2 в файле" + file.string());
        const auto records = written(file);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].CODFORM, 12);
        EXPECT_EQ(records[0].CODREG, c.district);
        EXPECT_EQ(records[0].CODUCH, c.facility);
        EXPECT_EQ(records[0].CODTAB, 1);
        EXPECT_EQ(records[0].MES, 4);
        EXPECT_EQ(records[0].TIP, 0);
        EXPECT_EQ(records[1].UNICODSTR, 21);
        EXPECT_EQ(records[0].DATA[0], platform::Decimal::fromDouble(1.5));
        EXPECT_EQ(records[0].DATA[24], platform::Decimal::fromDouble(25));
        for (int i = 25; i < 35; ++i) EXPECT_EQ(records[0].DATA[static_cast<size_t>(i)], platform::Decimal());
    }
    // A folder that does not exist: told, and nothing left behind.
    ConsolidatedExport e(fx.installation(), state, ui);
    ASSERT_TRUE(e.open().isOk());
    e.setExchangePath("\\нет\\");
    EXPECT_FALSE(e.write(12, 4, rows).isOk());
    EXPECT_NE(ui.messages().back().find("нет"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(fx.dir() / "нет"));
}

}  // namespace
