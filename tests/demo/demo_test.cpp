#include "controls/evaluation.h"
#include "controls/rules.h"
#include "data/paths.h"
#include "data/record_binding.h"
#include "data/records.h"
#include "demo_fixture.h"
#include "platform/cp1251.h"
#include "platform/scripted_interaction.h"
#include "platform/text.h"
#include "platform/xlsx_workbook.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

namespace tavir::demo::test {
namespace {

namespace fs = std::filesystem;
using data::Installation;

constexpr int kYears[] = {2025, 2026};

template <class T>
std::vector<T> readAll(const fs::path& path, std::string_view label = T::label) {
    data::RecordFile<T> file(path, label);
    std::vector<T> out;
    EXPECT_TRUE(file.open().isOk()) << path;
    T rec;
    for (auto c = file.all(); c.next(rec);) out.push_back(rec);
    return out;
}

// The reference of one year as the tests look it up.
struct YearData {
    std::vector<data::Forma> forms;
    std::map<std::pair<int, int>, data::Tabl> tables;            // (form, table)
    std::map<std::pair<int, int>, data::Stroka> rows;            // (form, unicod)
    std::map<std::tuple<int, int, int>, data::Stroka> rowByNumber;  // (form, table, number)
    std::map<std::tuple<int, int, int>, data::Grafa> cols;       // (form, table, column)
    std::vector<data::Rash> rash;

    explicit YearData(const Installation& inst, int year) {
        forms = readAll<data::Forma>(inst.formaFile(year));
        for (const auto& t : readAll<data::Tabl>(inst.tablFile(year))) tables[{t.CODFORM, t.CODTABL}] = t;
        for (const auto& r : readAll<data::Stroka>(inst.strokaFile(year))) {
            rows[{r.CODFORM, r.UNICOD}] = r;
            rowByNumber[{r.CODFORM, r.CODTABL, r.NUMBER}] = r;
        }
        for (const auto& g : readAll<data::Grafa>(inst.grafaFile(year))) cols[{g.CODFORM, g.CODTABL, g.COD}] = g;
        rash = readAll<data::Rash>(inst.rashFile(year));
    }
    const data::Tabl* table(int form, int code) const {
        auto it = tables.find({form, code});
        return it == tables.end() ? nullptr : &it->second;
    }
    const data::Stroka* row(int form, int unicod) const {
        auto it = rows.find({form, unicod});
        return it == rows.end() ? nullptr : &it->second;
    }
    // Whether a printed column number is a value column of the table.
    bool valueColumn(int form, int table, int column) const {
        const data::Tabl* t = this->table(form, table);
        return t && column > t->SM && column <= t->SM + t->A && cols.count({form, table, column});
    }
};

template <class Array>
std::vector<int> terms(const Array& a) {
    std::vector<int> out;
    for (int v : a) {
        if (v == 0) break;
        out.push_back(v);
    }
    return out;
}

using ReportKey = std::tuple<int, int, int, int64_t>;  // year, form, facility, period

std::map<ReportKey, std::vector<data::Otchet>> readReports(const Installation& inst, const std::vector<data::Forma>& forms, int year) {
    std::map<ReportKey, std::vector<data::Otchet>> out;
    for (const data::Forma& f : forms) {
        for (const data::Otchet& o : readAll<data::Otchet>(inst.valueFile(year, f.UNICOD))) out[{year, f.UNICOD, o.CODUCH, o.MES}].push_back(o);
    }
    return out;
}

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(builtDemo().status.isOk()) << builtDemo().status.message();
    }
    const fs::path& dir() const { return builtDemo().dir; }
    Installation inst() const { return Installation(dir()); }
};

TEST_F(DemoTest, WritesEveryFileOfBothYearsAndOfTheWorkingDirectory) {
    const DemoSummary& s = builtDemo().summary;
    EXPECT_EQ(s.facilities, kFacilities);
    EXPECT_EQ(s.violations.size(), 6u);
    EXPECT_EQ(s.importFiles.size(), 6u);
    const Installation in = inst();
    for (int year : kYears) {
        for (const fs::path& p : {in.formaFile(year), in.tablFile(year), in.strokaFile(year), in.grafaFile(year), in.rashFile(year),
                                  in.contrStrFile(year), in.contrGrFile(year), in.contrTabFile(year), in.contrMFFile(year),
                                  in.sapkiFile(year), in.deadlineFile(year)}) {
            EXPECT_TRUE(fs::is_regular_file(p)) << p;
        }
        const auto forms = readAll<data::Forma>(in.formaFile(year));
        EXPECT_GE(forms.size(), 17u);
        for (const data::Forma& f : forms) EXPECT_TRUE(fs::is_regular_file(in.valueFile(year, f.UNICOD))) << year << " " << f.UNICOD;
    }
    for (const fs::path& p : {in.bolnFile(), in.region1File(), in.viduchFile(), in.user1File(), in.wwodFile(), in.pokasFile(),
                              in.nameProgFile(), in.rasresFile(), in.rasresnFile(), in.tablPFile(), in.grafaPFile(), in.sapkiPFile(),
                              in.spisMFFile(), in.helpFile(), in.mapPicture(), dir() / "7.MDS", dir() / "7.MDV"}) {
        EXPECT_TRUE(fs::is_regular_file(p)) << p;
    }
    for (const char* folder : {"temp1", "export", "import", "impfile", "doc", "XLS"}) EXPECT_TRUE(fs::is_directory(dir() / folder)) << folder;
    for (int s = 1; s <= 7; ++s) {
        for (int k = 1; k <= 5; ++k) {
            for (int layer = 1; layer <= 28; ++layer) {
                ASSERT_TRUE(fs::is_regular_file(dir() / "Images" / std::to_string(s) / std::to_string(k) / (std::to_string(layer) + ".gif")));
            }
            EXPECT_TRUE(fs::is_regular_file(dir() / "Images" / std::to_string(s) / std::to_string(k) / "legend.gif"));
        }
    }
    EXPECT_TRUE(fs::is_regular_file(dir() / "Images" / "name_r.gif"));
    // Every help topic's picture is there.
    std::vector<std::string> lines;
    ASSERT_TRUE(platform::readTextLines(in.helpFile(), lines).isOk());
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        const std::string picture(platform::trimRight(platform::cutToWidth(line, 20)));
        EXPECT_TRUE(fs::is_regular_file(dir() / picture)) << picture;
    }
}

TEST_F(DemoTest, SettingsNameTheRegionalDepartmentAndItsExchangeFolders) {
    const auto users = readAll<data::User1>(inst().user1File());
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].TIPUSER, 0);
    EXPECT_NE(users[0].KODUSER, 0);
    EXPECT_TRUE(fs::is_directory(inst().resolve(users[0].S1))) << users[0].S1;
    EXPECT_TRUE(fs::is_directory(inst().resolve(users[0].S2))) << users[0].S2;
    EXPECT_TRUE(fs::is_directory(inst().resolve(users[0].TEMP))) << users[0].TEMP;
    const auto prog = readAll<data::NameProg>(inst().nameProgFile());
    ASSERT_EQ(prog.size(), 1u);
    EXPECT_EQ(prog[0].PROGA, "Мониторинг системы здравоохранения Тарвинской области");
    for (const std::string& mail : {prog[0].MAIL, prog[0].MAILTAR, prog[0].MAIL_OLM}) EXPECT_NE(mail.find(".example"), std::string::npos) << mail;
}

TEST_F(DemoTest, RowsAndRulesNameTablesRowsAndColumnsThatExist) {
    for (int year : kYears) {
        const YearData y(inst(), year);
        for (const auto& [key, row] : y.rows) EXPECT_TRUE(y.table(row.CODFORM, row.CODTABL)) << "строка " << row.UNICOD << " формы " << row.CODFORM;
        for (const auto& [key, t] : y.tables) {
            for (int c = 1; c <= t.SM + t.A; ++c) EXPECT_TRUE(y.cols.count({t.CODFORM, t.CODTABL, c})) << t.CODFORM << "/" << t.CODTABL << " гр." << c;
        }
        for (const data::Rash& r : y.rash) {
            const data::Tabl* t = y.table(r.CODFORM, r.CODTAB);
            ASSERT_TRUE(t) << "расчет " << r.ID;
            const int kind = r.TIPRASH % 10;
            for (int op : terms(r.GS1)) {
                if (kind == 1 || kind == 4) {
                    EXPECT_TRUE(std::abs(op) >= 1 && std::abs(op) <= t->A) << "расчет " << r.ID;
                }
                if (kind == 2) {
                    EXPECT_TRUE(y.rowByNumber.count({r.CODFORM, r.CODTAB, std::abs(op)})) << "расчет " << r.ID;
                }
                if (kind == 3) {
                    EXPECT_TRUE(y.row(r.CODFORM, std::abs(op))) << "расчет " << r.ID;
                }
            }
            if (kind == 1) {
                EXPECT_TRUE(r.GS >= 1 && r.GS <= t->A) << "расчет " << r.ID;
            }
            if (kind == 2 || kind == 3 || (kind == 4 && r.GS)) {
                EXPECT_TRUE(y.rowByNumber.count({r.CODFORM, r.CODTAB, r.GS})) << "расчет " << r.ID;
            }
        }
        for (const auto& c : readAll<data::ContrStr>(inst().contrStrFile(year))) {
            const data::Stroka* left = y.row(c.CODFORM, c.UNICODSTR);
            ASSERT_TRUE(left) << "контроль строк " << c.UNICOD;
            if (c.CODGR) {
                EXPECT_TRUE(y.valueColumn(c.CODFORM, left->CODTABL, c.CODGR)) << "контроль строк " << c.UNICOD;
            }
            for (int t : terms(c.S1)) {
                const data::Stroka* term = y.row(c.CODFORM, std::abs(t));
                ASSERT_TRUE(term) << "контроль строк " << c.UNICOD;
                EXPECT_EQ(term->CODTABL, left->CODTABL) << "контроль строк " << c.UNICOD;
            }
        }
        for (const auto& c : readAll<data::ContrGr>(inst().contrGrFile(year))) {
            ASSERT_TRUE(y.table(c.CODFORM, c.CODTABL)) << "контроль граф " << c.UNICOD;
            EXPECT_TRUE(y.valueColumn(c.CODFORM, c.CODTABL, c.S)) << "контроль граф " << c.UNICOD;
            for (int t : terms(c.S1)) EXPECT_TRUE(y.valueColumn(c.CODFORM, c.CODTABL, std::abs(t))) << "контроль граф " << c.UNICOD;
            if (controls::limitedToRow(c.CODSTR)) {
                bool found = false;
                for (const auto& [key, r] : y.rows) found = found || (r.CODFORM == c.CODFORM && r.CODTABL == c.CODTABL && r.CODSTR == c.CODSTR);
                EXPECT_TRUE(found) << "контроль граф " << c.UNICOD;
            }
        }
        for (const auto& c : readAll<data::ContrTab>(inst().contrTabFile(year))) {
            const data::Stroka* left = y.row(c.CODFORM, c.UNICODSTR);
            ASSERT_TRUE(left) << "контроль таблиц " << c.UNICOD;
            EXPECT_TRUE(y.valueColumn(c.CODFORM, left->CODTABL, c.CODGR)) << "контроль таблиц " << c.UNICOD;
            const std::vector<int> us = terms(c.US1);
            ASSERT_FALSE(us.empty());
            for (size_t k = 0; k < us.size(); ++k) {
                const data::Stroka* term = y.row(c.CODFORM, std::abs(us[k]));
                ASSERT_TRUE(term) << "контроль таблиц " << c.UNICOD;
                EXPECT_TRUE(y.valueColumn(c.CODFORM, term->CODTABL, c.CODGRS1[k])) << "контроль таблиц " << c.UNICOD;
            }
        }
        for (const auto& c : readAll<data::ContrStr>(inst().contrMFFile(year), "ContrMF")) {
            const std::vector<int> s = terms(c.S1);
            ASSERT_FALSE(s.empty());
            for (size_t k = 0; k + 2 < c.S1.size() && c.S1[k] != 0; k += 3) {
                const data::Stroka* row = y.row(c.S1[k], std::abs(c.S1[k + 1]));
                ASSERT_TRUE(row) << "межформенный контроль " << c.UNICOD;
                EXPECT_LE(std::abs(c.S1[k + 2]), y.table(row->CODFORM, row->CODTABL)->A) << "межформенный контроль " << c.UNICOD;
            }
        }
    }
    // Indicator items and the saved breakdown read rows of the reference.
    const YearData y(inst(), 2025);
    for (const auto& p : readAll<data::Pokas>(inst().pokasFile())) {
        if (p.NUM != 0) continue;
        ASSERT_TRUE(y.table(p.CODFORM, p.CODTABL)) << "показатель " << p.UNICOD;
        if (p.UNICODSTR) {
            EXPECT_TRUE(y.row(p.CODFORM, p.UNICODSTR)) << "показатель " << p.UNICOD;
        }
        EXPECT_TRUE(p.CODGR == 99 || (p.CODGR >= 1 && p.CODGR <= y.table(p.CODFORM, p.CODTABL)->A)) << "показатель " << p.UNICOD;
    }
    for (const auto& r : readAll<data::Rasres>(inst().rasresFile())) EXPECT_TRUE(y.row(r.FORMA, r.UNICODSTR));
}

// Every column, row and whole-report formula holds on every stored report:
// checked here by adding up the operands, without the calculation itself.
TEST_F(DemoTest, StoredTotalsSatisfyTheCalculationRules) {
    for (int year : kYears) {
        const YearData y(inst(), year);
        int checked = 0;
        for (const auto& [key, records] : readReports(inst(), y.forms, year)) {
            const int form = std::get<1>(key);
            std::map<int, const data::Otchet*> byRow;
            for (const data::Otchet& o : records) byRow[o.UNICODSTR] = &o;
            auto value = [&](int unicod, int index) {
                auto it = byRow.find(unicod);
                return it == byRow.end() ? int64_t(0) : it->second->DATA[size_t(index - 1)].milli();
            };
            for (const data::Rash& r : y.rash) {
                if (r.CODFORM != form) continue;
                const data::Tabl& t = *y.table(form, r.CODTAB);
                const int kind = r.TIPRASH % 10;
                if (kind == 1) {
                    for (const auto& [rk, row] : y.rows) {
                        if (row.CODFORM != form || row.CODTABL != r.CODTAB) continue;
                        int64_t sum = 0;
                        for (int op : terms(r.GS1)) sum += (op < 0 ? -1 : 1) * value(row.UNICOD, std::abs(op));
                        ASSERT_EQ(value(row.UNICOD, r.GS), sum) << year << " ф." << form << " учр." << std::get<2>(key) << " период " << std::get<3>(key) << " расчет " << r.ID;
                        ++checked;
                    }
                } else if (kind == 2 || kind == 3) {
                    const int target = y.rowByNumber.at({form, r.CODTAB, r.GS}).UNICOD;
                    for (int i = 1; i <= t.A; ++i) {
                        int64_t sum = 0;
                        for (int op : terms(r.GS1)) {
                            const int unicod = kind == 2 ? y.rowByNumber.at({form, r.CODTAB, std::abs(op)}).UNICOD : std::abs(op);
                            sum += (op < 0 ? -1 : 1) * value(unicod, i);
                        }
                        ASSERT_EQ(value(target, i), sum) << year << " ф." << form << " учр." << std::get<2>(key) << " период " << std::get<3>(key) << " расчет " << r.ID;
                        ++checked;
                    }
                }
            }
        }
        EXPECT_GT(checked, 10000) << year;
    }
}

TEST_F(DemoTest, ValueRecordsAgreeWithTheirRowsFormsAndFacilities) {
    std::map<int, data::Bolnbol> facilities;
    for (const auto& b : readAll<data::Bolnbol>(inst().bolnFile())) facilities[b.UNICOD] = b;
    // The registry cases are stored as declared, outside the registry's rules.
    std::map<std::tuple<int, int, int, int64_t>, int> cases;
    for (const RegistryCase& c : builtDemo().summary.registryCases) cases[{c.year, c.form, c.facility, c.period}] = c.district;
    EXPECT_EQ(cases.size(), 5u);
    int casesFound = 0;
    int emptyReports = 0;
    for (int year : kYears) {
        const YearData y(inst(), year);
        std::map<int, int> tipOf;
        for (const data::Forma& f : y.forms) tipOf[f.UNICOD] = f.TIP;
        for (const auto& [key, records] : readReports(inst(), y.forms, year)) {
            const int form = std::get<1>(key), facility = std::get<2>(key);
            const auto registryCase = cases.find({year, form, facility, std::get<3>(key)});
            casesFound += registryCase != cases.end();
            for (const data::Otchet& o : records) {
                const data::Stroka* row = y.row(form, o.UNICODSTR);
                ASSERT_TRUE(row) << form << " " << o.UNICODSTR;
                ASSERT_EQ(o.CODTAB, row->CODTABL) << form << " " << o.UNICODSTR;
                ASSERT_EQ(o.TIP, tipOf.at(form));
                if (registryCase != cases.end()) {
                    EXPECT_EQ(o.CODREG, registryCase->second) << facility;
                } else if (facility == 20000) {
                    EXPECT_EQ(o.CODREG, 250);
                } else if (facility > 21000 && facility < 22000) {
                    EXPECT_EQ(o.CODREG, facility - 21000);
                    EXPECT_GE(form, 900);
                } else {
                    ASSERT_TRUE(facilities.count(facility)) << facility;
                    const data::Bolnbol& b = facilities.at(facility);
                    EXPECT_EQ(o.CODREG, b.CODREG);
                    EXPECT_NE(b.SEL, 3) << "приписное село не сдает отчетов: " << facility;
                    EXPECT_TRUE(b.SYEAR <= year && (b.EYEAR == 0 || b.EYEAR >= year)) << facility << " " << year;
                }
            }
            bool allZero = true;
            for (const data::Otchet& o : records) {
                for (int i = 0; i < 35; ++i) allZero = allZero && o.DATA[size_t(i)].isZero();
            }
            if (allZero) {
                EXPECT_EQ(records.size(), 1u) << "пустой отчет хранится одной нулевой записью";
                ++emptyReports;
            }
        }
    }
    EXPECT_EQ(emptyReports, 1);
    EXPECT_EQ(casesFound, 5);
    // The facility that closed last year reports only then, the one opened this year only now.
    const auto reportsOf = [&](int year, int facility) {
        int n = 0;
        for (const auto& [key, records] : readReports(inst(), YearData(inst(), year).forms, year)) n += std::get<2>(key) == facility;
        return n;
    };
    for (const auto& [code, b] : facilities) {
        if (b.EYEAR == 2025) {
            EXPECT_GT(reportsOf(2025, code), 0);
            EXPECT_EQ(reportsOf(2026, code), 0);
        }
        if (b.SYEAR == 2026) {
            EXPECT_EQ(reportsOf(2025, code), 0);
            EXPECT_GT(reportsOf(2026, code), 0);
        }
    }
}

// Balances carry from month to month: what the carry-over of report entry
// would fill in is what the next month's report holds.
TEST_F(DemoTest, BalancesAtTheStartOfAMonthAreThoseAtTheEndOfTheMonthBefore) {
    struct Carry {
        int form;
        std::array<int, 3> start, end;
    };
    for (const Carry& c : {Carry{342, {1, 2, 3}, {4, 5, 6}}, Carry{117, {1, 2, 3}, {13, 14, 15}},
                           Carry{124, {1, 2, 3}, {13, 14, 15}}, Carry{16, {2, 2, 2}, {6, 6, 6}}}) {
        int compared = 0;
        for (int year : kYears) {
            std::map<std::tuple<int, int, int>, data::Otchet> byKey;  // facility, month, row
            for (const data::Otchet& o : readAll<data::Otchet>(inst().valueFile(year, c.form))) byKey[{o.CODUCH, o.MES, o.UNICODSTR}] = o;
            for (const auto& [key, o] : byKey) {
                const auto [facility, month, row] = key;
                auto before = byKey.find({facility, month - 1, row});
                if (month == 1 || before == byKey.end()) continue;
                for (int i = 0; i < 3; ++i) {
                    ASSERT_EQ(o.DATA[size_t(c.start[size_t(i)] - 1)], before->second.DATA[size_t(c.end[size_t(i)] - 1)])
                        << year << " ф." << c.form << " учр." << facility << " месяц " << month << " строка " << row;
                }
                ++compared;
            }
        }
        EXPECT_GT(compared, 100) << c.form;
    }
}

std::string rulesText(const std::set<std::string>& s) {
    std::string out;
    for (const auto& r : s) out += (out.empty() ? "" : " ") + r;
    return out;
}

// The controls are run on every stored report; only the reports the README
// lists may fail, and each of them fails the rules it is listed for.
TEST_F(DemoTest, ControlsHoldExceptForTheDeliberateViolations) {
    std::map<ReportKey, std::set<std::string>> declared;
    for (const Violation& v : builtDemo().summary.violations) {
        std::istringstream in(v.rules);
        for (std::string r; in >> r;) declared[{v.year, v.form, v.facility, v.period}].insert(r);
    }
    std::map<ReportKey, std::set<std::string>> found;
    platform::ScriptedInteraction ui;
    for (int year : kYears) {
        const YearData y(inst(), year);
        const auto reports = readReports(inst(), y.forms, year);
        for (const data::Forma& f : y.forms) {
            controls::FormRules all;
            ASSERT_TRUE(controls::loadFormRules(inst(), year, f.UNICOD, all).isOk());
            controls::TableList tables;
            for (const auto& [key, t] : y.tables) {
                if (t.CODFORM == f.UNICOD) tables.push_back({t.CODTABL, t.SM, t.A});
            }
            std::vector<std::pair<std::string, controls::FormRules>> kinds(3, {"", all});
            kinds[0].first = "ContrStr";
            kinds[0].second.tableRules.clear();
            kinds[0].second.columnRules.clear();
            kinds[1].first = "ContrTab";
            kinds[1].second.rowRules.clear();
            kinds[1].second.columnRules.clear();
            kinds[2].first = "ContrGr";
            kinds[2].second.rowRules.clear();
            kinds[2].second.tableRules.clear();
            for (const auto& [key, records] : reports) {
                if (std::get<1>(key) != f.UNICOD) continue;
                controls::CheckRows rows;
                for (const data::Otchet& o : records) {
                    controls::CheckRow row{o.UNICODSTR, o.CODTAB, {}};
                    for (int i = 0; i < controls::kCheckValues; ++i) row.DATA[size_t(i)] = o.DATA[size_t(i)];
                    rows.push_back(row);
                }
                for (const auto& [name, rules] : kinds) {
                    if (!controls::evaluateForm(rules, rows, tables, ui).empty()) found[key].insert(name);
                }
            }
        }
        // Inter-form rules by facility, as "Разрез ЛПУ" runs them.
        std::vector<std::string> spis;
        ASSERT_TRUE(platform::readTextLines(inst().spisMFFile(), spis).isOk());
        ASSERT_EQ(spis.size() % 2, 0u);
        for (size_t i = 0; i < spis.size(); i += 2) {
            std::optional<controls::InterformRule> rule;
            ASSERT_TRUE(controls::readInterformRule(inst(), year, std::stoi(spis[i].substr(0, 3)), ui, rule).isOk());
            ASSERT_TRUE(rule.has_value()) << spis[i];
            std::map<int, controls::InterformTotal> totals;
            ASSERT_TRUE(controls::sumInterform(inst(), year, *rule, [&](const data::Otchet& o) {
                            auto& t = totals[o.CODUCH];
                            t.code = o.CODUCH;
                            return &t;
                        }).isOk());
            for (auto& [facility, total] : totals) {
                controls::markInterformViolation(*rule, total);
                if (total.violated) found[{year, 0, facility, 0}].insert("ContrMF");
            }
        }
    }
    EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
    // Inter-form violations belong to a facility and year, not to one report.
    std::map<ReportKey, std::set<std::string>> declaredIntra;
    std::set<std::pair<int, int>> declaredInter;
    for (const auto& [key, rules] : declared) {
        std::set<std::string> intra = rules;
        if (intra.erase("ContrMF")) declaredInter.insert({std::get<0>(key), std::get<2>(key)});
        if (!intra.empty()) declaredIntra[key] = intra;
    }
    std::map<ReportKey, std::set<std::string>> foundIntra;
    std::set<std::pair<int, int>> foundInter;
    for (const auto& [key, rules] : found) {
        if (std::get<1>(key) == 0) {
            foundInter.insert({std::get<0>(key), std::get<2>(key)});
        } else {
            foundIntra[key] = rules;
        }
    }
    for (const auto& [key, rules] : foundIntra) {
        EXPECT_TRUE(declaredIntra.count(key)) << "нарушение не объявлено: " << std::get<0>(key) << " ф." << std::get<1>(key) << " учр."
                                              << std::get<2>(key) << " период " << std::get<3>(key) << ": " << rulesText(rules);
    }
    for (const auto& [key, rules] : declaredIntra) {
        const auto it = foundIntra.find(key);
        ASSERT_NE(it, foundIntra.end()) << "объявленное нарушение не найдено: ф." << std::get<1>(key) << " учр." << std::get<2>(key);
        for (const std::string& r : rules) EXPECT_TRUE(it->second.count(r)) << "ф." << std::get<1>(key) << " учр." << std::get<2>(key) << " " << r;
    }
    EXPECT_EQ(foundInter, declaredInter);
}

template <class T>
std::set<std::tuple<int, int, int64_t>> reportsIn(const fs::path& file, std::string_view label) {
    std::set<std::tuple<int, int, int64_t>> out;  // form, facility, period
    for (const T& r : readAll<T>(file, label)) {
        if constexpr (std::is_same_v<T, data::Ot2>) {
            out.insert({r.CODFORM, r.CODUCH, r.MES});
        } else {
            out.insert({0, r.CODUCH, r.MES});
        }
    }
    return out;
}

// The files to import carry reports that the value files lack, so that
// importing them visibly adds reports.
TEST_F(DemoTest, FilesToImportHoldReportsMissingFromTheValueFiles) {
    const YearData y(inst(), 2026);
    const auto stored = readReports(inst(), y.forms, 2026);
    const auto absent = [&](int form, int facility, int64_t period) { return !stored.count({2026, form, facility, period}); };
    std::set<std::string> kinds;
    for (const std::string& name : builtDemo().summary.importFiles) {
        const fs::path file = dir() / "import" / name;
        ASSERT_TRUE(fs::is_regular_file(file)) << name;
        if (name.ends_with(".dbf")) {
            DBFHandle dbf = DBFOpen(file.c_str(), "rb");
            ASSERT_TRUE(dbf) << name;
            const bool billing = name.starts_with("omc");
            EXPECT_EQ(DBFGetFieldCount(dbf), billing ? 27 : 8) << name;
            ASSERT_GT(DBFGetRecordCount(dbf), 0) << name;
            if (billing) {
                const int form = std::atoi(DBFReadStringAttribute(dbf, 0, 0));
                EXPECT_TRUE(y.row(form, std::atoi(DBFReadStringAttribute(dbf, 0, 1)))) << name;
                // Month and year are the six characters before the first point.
                const std::string period = name.substr(name.find('.') - 6, 6);
                EXPECT_EQ(period.substr(2), "2026");
                const int facility = std::atoi(name.substr(3, name.find('_') - 3).c_str());
                EXPECT_TRUE(absent(form, facility, std::stoi(period.substr(0, 2)))) << name;
            }
            DBFClose(dbf);
            kinds.insert(billing ? "import1" : "VOV4000");
        } else if (name[0] == 'W') {
            const int form = std::stoi(name.substr(1, 4)), period = std::stoi(name.substr(6, 2));
            const auto reports = reportsIn<data::Otchet>(file, "otchetOld");
            ASSERT_FALSE(reports.empty());
            for (const auto& [f, facility, mes] : reports) {
                EXPECT_EQ(mes, period);
                EXPECT_TRUE(absent(form, facility, mes)) << name;
            }
            kinds.insert("old");
        } else {
            const auto reports = reportsIn<data::Ot2>(file, "OT2");
            ASSERT_FALSE(reports.empty());
            for (const auto& [form, facility, mes] : reports) {
                EXPECT_TRUE(absent(form, facility, mes)) << name << " ф." << form << " учр." << facility;
                EXPECT_NE(name.find("F" + std::to_string(form)), std::string::npos) << name;
            }
            kinds.insert(name.starts_with("ssw") ? "consolidated" : name.substr(0, 1));
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"VOV4000", "consolidated", "import1", "old", "r", "u"}));
}

// --- tavir-cli ---------------------------------------------------------------

int runCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 65536> buf{};
    size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) output.append(buf.data(), n);
    return ::pclose(pipe);
}

// Every data file of an installation with the label to dump it under.
std::vector<std::pair<fs::path, std::string>> dataFiles(const fs::path& root) {
    std::vector<std::pair<fs::path, std::string>> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        const fs::path rel = fs::relative(e.path(), root);
        const std::string name = rel.filename().string();
        if (rel.begin()->string() == "import") {
            if (name.ends_with(".dat")) out.push_back({rel, name[0] == 'W' ? "otchetOld" : "OT2"});
        } else if (!data::labelForFileName(name).empty()) {
            out.push_back({rel, std::string(data::labelForFileName(name))});
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(DemoTest, TheSameSeedGivesIdenticalDumpsOfEveryDataFile) {
    const std::string cli = TAVIR_CLI_PATH;
    if (cli.empty()) GTEST_SKIP() << "tavir-cli не собран";
    const fs::path again = builtDemo().root / "b";
    std::string out;
    ASSERT_EQ(runCommand("\"" + cli + "\" demo \"" + again.string() + "\" --facilities " + std::to_string(kFacilities) + " --seed " +
                             std::to_string(kSeed),
                         out),
              0)
        << out;
    const auto files = dataFiles(dir());
    ASSERT_EQ(files, dataFiles(again));
    ASSERT_GT(files.size(), 60u);
    for (const auto& [rel, label] : files) {
        std::string a, b;
        ASSERT_EQ(runCommand("\"" + cli + "\" dump \"" + (dir() / rel).string() + "\" --label " + label, a), 0) << rel << ": " << a;
        ASSERT_EQ(runCommand("\"" + cli + "\" dump \"" + (again / rel).string() + "\" --label " + label, b), 0) << rel << ": " << b;
        ASSERT_EQ(a, b) << rel;
    }
    // Another seed gives other reports over the same reference.
    const fs::path other = builtDemo().root / "c";
    ASSERT_EQ(runCommand("\"" + cli + "\" demo \"" + other.string() + "\" --facilities " + std::to_string(kFacilities) + " --seed 8", out), 0) << out;
    std::string a, b;
    runCommand("\"" + cli + "\" dump \"" + (dir() / "2025" / "F0012.dat").string() + "\"", a);
    runCommand("\"" + cli + "\" dump \"" + (other / "2025" / "F0012.dat").string() + "\"", b);
    EXPECT_NE(a, b);
    runCommand("\"" + cli + "\" dump \"" + (dir() / "2025" / "Stroka.dat").string() + "\"", a);
    runCommand("\"" + cli + "\" dump \"" + (other / "2025" / "Stroka.dat").string() + "\"", b);
    EXPECT_EQ(a, b);
}

// A rectangle of cells; a last row or column of 0 runs to the sheet's end.
struct CellArea {
    int firstRow, lastRow, firstColumn, lastColumn;
    bool holds(int row, int column) const {
        return row >= firstRow && (lastRow == 0 || row <= lastRow) && column >= firstColumn &&
               (lastColumn == 0 || column <= lastColumn);
    }
};

// What the exports that fill a template may write into it: their cells, and
// every row from the first one an export fills.
std::vector<CellArea> exportedCells(const std::string& templateName) {
    if (templateName == "RAS.xlsx")  // completeness, breakdown by districts, indicators
        return {{1, 1, 1, 1}, {1, 1, 3, 3}, {2, 4, 1, 1}, {7, 0, 1, 0}};
    if (templateName == "RAS1.xlsx")  // list of submitted reports, breakdown by facilities
        return {{1, 3, 1, 1}, {7, 0, 1, 0}};
    if (templateName == "rang.xlsx")
        return {{2, 3, 1, 1}, {10, 10, 2, 2}, {10, 10, 5, 5}, {11, 0, 1, 4}, {11, 15, 5, 6}};
    if (templateName == "swod.xlsx") return {{2, 3, 1, 1}, {9, 0, 1, 0}};
    return {{2, 3, 1, 1}, {11, 0, 1, 0}};  // a single table's template
}

platform::XlsxWorkbook loadTemplate(const fs::path& path) {
    platform::XlsxWorkbook book;
    platform::Status st = platform::XlsxWorkbook::load(path, book);
    EXPECT_TRUE(st.isOk()) << st.message();
    return book;
}

// The fixed templates and the one the demo's form 5 table 1000 names.
const std::vector<std::string> kTemplates{"RAS.xlsx", "RAS1.xlsx", "rang.xlsx", "swod.xlsx", "f5t1000.xlsx"};

TEST_F(DemoTest, ExportTemplatesHoldNoTextWhereAnExportWrites) {
    std::set<std::string> onDisk;
    for (const auto& e : fs::directory_iterator(dir() / "XLS")) onDisk.insert(e.path().filename().string());
    EXPECT_EQ(onDisk, std::set<std::string>(kTemplates.begin(), kTemplates.end()));
    std::map<std::string, int> fixedTexts;
    for (const std::string& name : kTemplates) {
        const platform::XlsxWorkbook book = loadTemplate(dir() / "XLS" / name);
        const std::vector<CellArea> written = exportedCells(name);
        for (int r = 1; r <= 30; ++r) {
            for (int c = 1; c <= 110; ++c) {
                if (book.value(r, c).kind == platform::CellKind::Empty) continue;
                ++fixedTexts[name];
                const bool exported =
                    std::any_of(written.begin(), written.end(), [&](const CellArea& a) { return a.holds(r, c); });
                EXPECT_FALSE(exported) << name << " R" << r << "C" << c << ": " << book.value(r, c).text;
            }
        }
    }
    // Fixed texts there are: the region, the rank table's title and headings,
    // the table's own column names and numbers.
    EXPECT_EQ(fixedTexts["swod.xlsx"], 1);
    EXPECT_EQ(fixedTexts["rang.xlsx"], 4);
    EXPECT_EQ(fixedTexts["f5t1000.xlsx"], 1 + 2 * 8);
}

TEST_F(DemoTest, ExportTemplatesStyleTheirTitlesHeadingsAndColumns) {
    auto bold = [](const platform::XlsxWorkbook& b, int r, int c) { return b.format(r, c).bold; };
    auto heading = [](const platform::XlsxWorkbook& b, int r, int c) {
        const platform::CellFormat f = b.format(r, c);
        return f.bold && f.wrap && f.centred;
    };
    struct Expect {
        std::string name;
        std::vector<std::pair<int, int>> titles, headings, data;  // cells the exports write
    };
    const std::vector<Expect> expects{
        {"RAS.xlsx",
         {{1, 1}, {1, 3}, {2, 1}, {3, 1}, {4, 1}},
         {{7, 3}, {8, 3}, {8, 32}, {9, 1}, {9, 2}, {9, 107}},
         {{10, 1}, {10, 3}, {11, 2}}},
        {"RAS1.xlsx", {{1, 1}, {2, 1}, {3, 1}}, {{7, 3}, {8, 3}, {9, 1}, {9, 7}, {9, 107}}, {{10, 1}, {10, 3}}},
        {"rang.xlsx", {{1, 1}, {2, 1}, {3, 1}}, {{10, 1}, {10, 2}, {10, 5}, {10, 6}}, {{11, 1}, {11, 2}, {12, 5}}},
        {"swod.xlsx", {{1, 1}, {2, 1}, {3, 1}}, {{9, 1}, {9, 17}}, {{11, 1}, {11, 3}}},
        {"f5t1000.xlsx", {{1, 1}, {2, 1}, {3, 1}}, {{9, 1}, {9, 8}}, {{11, 1}, {11, 3}}},
    };
    for (const Expect& e : expects) {
        const platform::XlsxWorkbook book = loadTemplate(dir() / "XLS" / e.name);
        for (auto [r, c] : e.titles) EXPECT_TRUE(bold(book, r, c)) << e.name << " R" << r << "C" << c;
        for (auto [r, c] : e.headings) EXPECT_TRUE(heading(book, r, c)) << e.name << " R" << r << "C" << c;
        for (auto [r, c] : e.data) {
            EXPECT_FALSE(bold(book, r, c) || book.format(r, c).wrap) << e.name << " R" << r << "C" << c;
        }
        EXPECT_GE(book.columnWidth(1), 25) << e.name;  // names of districts at least
    }
    // The main title is the larger one.
    const platform::XlsxWorkbook ras = loadTemplate(dir() / "XLS" / "RAS.xlsx");
    EXPECT_GT(ras.format(1, 1).fontSize, ras.format(2, 1).fontSize);
    const platform::XlsxWorkbook swod = loadTemplate(dir() / "XLS" / "swod.xlsx");
    EXPECT_GT(swod.format(2, 1).fontSize, swod.format(1, 1).fontSize);
    // Wrapped headings show whole: the generic template's column-name row
    // holds a name of 100 characters in a value column.
    EXPECT_GE(swod.rowHeight(9) / 13 * swod.columnWidth(2), 100);
    for (int r = 7; r <= 9; ++r) EXPECT_GE(ras.rowHeight(r), 26) << r;
    EXPECT_TRUE(swod.format(10, 5).centred);
    // Every column a breakdown fills has a width of its own; facility names
    // in RAS1 get room.
    const platform::XlsxWorkbook ras1 = loadTemplate(dir() / "XLS" / "RAS1.xlsx");
    EXPECT_GE(ras1.columnWidth(3), 30);
    EXPECT_GT(ras1.columnWidth(107), 0);
    EXPECT_GT(ras.columnWidth(107), 0);
    // The rank table's range bounds show two decimals.
    const platform::XlsxWorkbook rang = loadTemplate(dir() / "XLS" / "rang.xlsx");
    for (int r = 11; r <= 15; ++r) {
        for (int c = 5; c <= 6; ++c) EXPECT_EQ(rang.format(r, c).numFmtId, 2) << r << "," << c;
    }

    // A single table's template: its column names and numbers, the name
    // column wide and the row-code column narrow.
    const YearData year(inst(), kYears[1]);
    const platform::XlsxWorkbook table = loadTemplate(dir() / "XLS" / "f5t1000.xlsx");
    int columns = 0;
    for (const auto& [key, g] : year.cols) {
        if (std::get<0>(key) != 5 || std::get<1>(key) != 1000) continue;
        ++columns;
        EXPECT_EQ(table.value(9, g.COD).text, platform::trimRight(g.NAME)) << g.COD;
        EXPECT_EQ(table.value(10, g.COD).number, g.COD);
        EXPECT_TRUE(heading(table, 9, g.COD)) << g.COD;
        const double lines = std::ceil(platform::charCount(platform::trimRight(g.NAME)) / table.columnWidth(g.COD));
        EXPECT_GE(table.rowHeight(9), 13 * lines) << g.COD;
        EXPECT_TRUE(table.format(10, g.COD).centred) << g.COD;
    }
    EXPECT_EQ(columns, 8);
    EXPECT_LT(table.columnWidth(2), table.columnWidth(1));
}

TEST(DemoBuild, RefusesADirectoryThatIsNotEmptyAndFacilityCountsItCannotMake) {
    const fs::path root = fs::temp_directory_path() / ("tavir-demo-refuse-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "full");
    std::ofstream(root / "full" / "BOLN.dat") << "x";
    DemoSummary summary;
    platform::Status st = buildDemo({root / "full", defaultDataDir(), 0, 1}, summary);
    EXPECT_FALSE(st.isOk());
    EXPECT_NE(st.message().find("не пуст"), std::string::npos) << st.message();
    std::ifstream kept(root / "full" / "BOLN.dat");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "x");
    st = buildDemo({root / "few", defaultDataDir(), 5, 1}, summary);
    EXPECT_FALSE(st.isOk());
    EXPECT_NE(st.message().find("не меньше"), std::string::npos) << st.message();
    EXPECT_FALSE(fs::exists(root / "few")) << "nothing is written for a count it cannot make";
    fs::remove_all(root);
}

}  // namespace
}  // namespace tavir::demo::test
