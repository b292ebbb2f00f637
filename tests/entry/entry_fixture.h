// A small installation for report entry: district 5 with facility 310, and
// forms of 2026 chosen for the editing cases:
//   12  monthly, tables 1000 (SM 2, A 4, rows 1-3: value 4 := 1 + 2) and 2000
//       (SM 1, A 2, rows 10, 11: value 2 := value 1; row 11 := rows 1 + 2 of
//       table 1000, unique codes 1 and 2)
//   30  annual, one table (SM 2, A 3, rows 1, 2)
//   40  annual, one table with totals: value 3 := 1 + 2, row 3 := rows 1 + 2,
//       the column rule "column 5 = column 3 + column 4", value 2 locked in row 1
//   41  annual, like 40 but its column rule "column 3 > column 4" for row 2
//       fails on a new, all-zero report
//   342 monthly, one table (SM 2, A 6, rows 1, 2): the carry-over form
//   50  annual, a table without rows
#pragma once

#include "../app/installation_fixture.h"
#include "app/shared_state.h"
#include "data/tsv_records.h"
#include "entry/selection.h"
#include "platform/number_format.h"
#include "platform/scripted_interaction.h"

#include <sstream>
#include <stdexcept>

namespace tavir::fixture {

class EntryInstallation : public InstallationFixture {
public:
    static constexpr int kYear = 2026;
    static constexpr int kFacility = 310;
    static constexpr int kDistrict = 5;

    EntryInstallation() {
        regions({{kDistrict, "Береговой"}, {7, "Озерный"}});
        facilities({facility(kFacility, kDistrict, "Береговая ЦРБ"), facility(320, kDistrict, "Участковая больница"),
                    facility(700, 7, "Озерная ЦРБ")});
        write<data::Wwod>(dir() / "WWOD.dat", {});
        forms(kYear, {form(12, "12", "Сведения о заболеваемости", 1), form(30, "30", "Сведения об учреждении", 0),
                      form(40, "40", "Сведения с итогами", 0),
                      form(41, "41", "Сведения со строгим контролем", 0), form(342, "342", "Сведения о задолженности", 1),
                      form(50, "50", "Форма без строк", 0)});
        write<data::Tabl>(file("Tabl.dat"), {table(12, 1000, 2, 4), table(12, 2000, 1, 2), table(30, 1, 2, 3),
                                             table(40, 1, 2, 3), table(41, 1, 2, 3), table(342, 1, 2, 6), table(50, 1, 1, 1)});
        write<data::Stroka>(file("Stroka.dat"),
                            {row(12, 1000, 1, 1, "1"), row(12, 1000, 3, 3, "3"), row(12, 1000, 2, 2, "2"),
                             row(12, 2000, 11, 1, "10"), row(12, 2000, 12, 2, "11"), row(30, 1, 1, 1, "1"),
                             row(30, 1, 2, 2, "2"), row(40, 1, 1, 1, "1"), row(40, 1, 2, 2, "2"),
                             row(40, 1, 3, 3, "3", "Всего"), row(41, 1, 1, 1, "1"), row(41, 1, 2, 2, "2"), row(342, 1, 1, 1, "1"), row(342, 1, 2, 2, "2")});
        std::vector<data::Grafa> columns;
        for (auto [form, table, sm, a] : {std::array{12, 1000, 2, 4}, {12, 2000, 1, 2}, {30, 1, 2, 3}, {40, 1, 2, 3},
                                          {41, 1, 2, 3}, {342, 1, 2, 6}, {50, 1, 1, 1}}) {
            for (int c = 1; c <= sm + a; ++c) {
                data::Grafa g;
                g.CODFORM = form;
                g.CODTABL = table;
                g.COD = c;
                g.NAME = "Графа " + std::to_string(c);
                g.NAMEL = "гр" + std::to_string(c);
                g.FORMAT = c == sm + 1 ? "@N10.2" : "";
                g.TYPEGR = c <= sm ? c : 0;  // descriptive columns: row name, then row code
                columns.push_back(g);
            }
        }
        write<data::Grafa>(file("Grafa.dat"), columns);
        write<data::Rash>(file("Rash.dat"), {rash(1, 40, 1, 1, 3, {1, 2}), rash(2, 40, 1, 2, 3, {1, 2}),
                                             rash(3, 40, 1, 4, 1, {2}), rash(4, 41, 1, 1, 3, {1, 2}),
                                             rash(5, 12, 1000, 1, 4, {1, 2}), rash(6, 12, 2000, 1, 2, {1}),
                                             rash(7, 12, 2000, 3, 2, {1, 2})});
        write<data::ContrGr>(file("ContrGr.dat"), {columnRule(1, 40, 1, "", 5, 1, {3, 4}), columnRule(2, 41, 1, "2", 3, 2, {4})});
        write<data::ContrStr>(file("ContrStr.dat"), {});
        write<data::ContrTab>(file("ContrTab.dat"), {});
        for (int form : {12, 30, 40, 41, 342, 50}) write<data::Otchet>(valueFile(form), {});
    }

    std::filesystem::path file(const std::string& name) const { return dir() / data::yearDirName(kYear) / name; }
    std::filesystem::path valueFile(int form) const { return file(data::valueFileName(form)); }

    // Adds value records of facility 310 to a form's value file: one per
    // (period, row unique code, table, values…).
    struct Stored {
        int period;
        int unicod;
        int table;
        std::vector<double> values;
    };
    void store(int form, const std::vector<Stored>& rows) {
        data::RecordFile<data::Otchet> f(valueFile(form));
        ensure(f.open());
        for (const Stored& s : rows) {
            data::Otchet o;
            o.CODREG = kDistrict;
            o.CODUCH = kFacility;
            o.CODTAB = s.table;
            o.MES = s.period;
            o.UNICODSTR = s.unicod;
            for (size_t i = 0; i < s.values.size(); ++i) o.DATA[i] = platform::Decimal::fromDouble(s.values[i]);
            ensure(f.add(o));
        }
    }

    // The stored rows of one report as "unicod/table: values" with trailing
    // zero values left out, in key order.
    std::vector<std::string> stored(int form, int period) const {
        data::RecordFile<data::Otchet> f(valueFile(form));
        ensure(f.open());
        std::vector<std::string> out;
        {
            auto cursor = f.equal("OTC:KEYCODUCH", {period, kFacility});
            data::Otchet o;
            while (cursor.next(o)) {
                size_t n = o.DATA.size();
                while (n > 0 && o.DATA[n - 1].isZero()) --n;
                std::string line = std::to_string(o.UNICODSTR) + "/" + std::to_string(o.CODTAB) + ":";
                for (size_t i = 0; i < n; ++i) line += " " + platform::formatNumber(o.DATA[i]);
                out.push_back(line);
            }
        }
        f.close();
        return out;
    }

    // The whole value file as text, record positions included.
    std::string dump(int form) const {
        data::RecordFile<data::Otchet> f(valueFile(form));
        std::ostringstream out;
        ensure(data::dumpTsv(f, out));
        return out.str();
    }

    int marks() const {
        data::RecordFile<data::Wwod> f(dir() / "WWOD.dat");
        ensure(f.open());
        int64_t n = f.count();
        f.close();
        return static_cast<int>(n);
    }

    entry::ChosenReport report(int form, int64_t period = 0) const {
        entry::ChosenReport r;
        r.year = kYear;
        r.formCode = form;
        r.formName = "Форма " + std::to_string(form);
        r.formNumber = std::to_string(form);
        r.periodType = period > 0 ? 1 : 0;
        r.period = period;
        r.district = kDistrict;
        r.districtName = "Береговой";
        r.facility = kFacility;
        r.facilityName = "Береговая ЦРБ";
        return r;
    }

    static data::Rash rash(int id, int form, int table, int kind, int target, std::vector<int> operands) {
        data::Rash r;
        r.ID = id;
        r.CODFORM = form;
        r.CODTAB = table;
        r.TIPRASH = kind;
        r.GS = target;
        for (size_t k = 0; k < operands.size(); ++k) r.GS1[k] = operands[k];
        return r;
    }
};

}  // namespace tavir::fixture
