// A small installation for consolidations.
#pragma once

#include "../app/installation_fixture.h"
#include "registry/analysis_request.h"

namespace tavir::analysis {

using platform::Decimal;

// Form 40, monthly, table 1 (SM 2, A 3): value column 1 plain, 2 "на начало
// года", 3 "на конец периода"; table 2 (SM 2, A 1) plain. Rows 1 and 2 in
// table 1, row 3 in table 1 never reported, row 9 in table 2.
// Facility 310 of district 5 reports months 1 to 6 with value = month in
// every column of row 1 and 10 × month in row 2; facility 700 of district 7
// reports months 1 to 6 with 100 × month in row 1; the file holds them
// interleaved, district 7 first. The column rule of table 1 wants column
// 4 not below column 3.
class ConsolidationFixture : public fixture::InstallationFixture {
public:
    static constexpr int kYear = 2026;

    ConsolidationFixture() {
        regions({{5, "Береговой"}, {7, "Озерный"}});
        forms(kYear, {form(40, "40", "Сведения", 1)});
        write<data::Tabl>(file("Tabl.dat"), {fixture::table(40, 2, 2, 1), fixture::table(40, 1, 2, 3)});
        std::vector<data::Grafa> columns{fixture::column(40, 1, 1, "Наименование", 1),
                                         fixture::column(40, 1, 2, "Код", 2), fixture::column(40, 1, 3, "Всего", 0),
                                         fixture::column(40, 1, 4, "На начало", 0),
                                         fixture::column(40, 1, 5, "На конец", 0), fixture::column(40, 2, 3, "Всего", 0)};
        columns[3].VID = 1;
        columns[4].VID = 3;
        write<data::Grafa>(file("Grafa.dat"), columns);
        std::vector<data::Otchet> records;
        for (int month = 1; month <= 6; ++month) {
            records.push_back(value(700, 7, month, 1, 1, 100 * month));
            records.push_back(value(310, 5, month, 1, 1, month));
            records.push_back(value(310, 5, month, 1, 2, 10 * month));
            records.push_back(value(310, 5, month, 2, 9, month));
        }
        write<data::Otchet>(file("F0040.dat"), records);
        write<data::Stroka>(file("Stroka.dat"), {fixture::row(40, 1, 1, 1, "1", "Всего"), fixture::row(40, 1, 2, 2, "2"),
                                                 fixture::row(40, 1, 3, 3, "3"), fixture::row(40, 2, 9, 1, "1")});
        // Column 4 ("на начало года") not below column 3: broken by the sums of rows 1 and 2.
        write<data::ContrGr>(file("ContrGr.dat"), {fixture::columnRule(1, 40, 1, "", 4, 3, {3})});
        write<data::ContrStr>(file("ContrStr.dat"), {});
        write<data::ContrTab>(file("ContrTab.dat"), {});
    }

    static data::Otchet value(int facility, int district, int month, int table, int row, int units) {
        data::Otchet o;
        o.CODUCH = facility;
        o.CODREG = district;
        o.MES = month;
        o.CODTAB = table;
        o.UNICODSTR = row;
        o.TIP = 1;
        for (int c = 0; c < 3; ++c) o.DATA[size_t(c)] = Decimal::fromMilli(units * 1000);
        return o;
    }
    std::filesystem::path file(const std::string& name) const { return dir() / data::yearDirName(kYear) / name; }

    registry::AnalysisRequest request(int64_t lower, int64_t upper) const {
        registry::AnalysisRequest r;
        r.form = 40;
        r.periodType = 1;
        r.lower = lower;
        r.upper = upper;
        r.year = kYear;
        return r;
    }
};

}  // namespace tavir::analysis
