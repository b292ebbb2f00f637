#include "registry/report_scan.h"

#include "../app/installation_fixture.h"

#include <gtest/gtest.h>

namespace tavir::registry {

void PrintTo(const StoredReport& r, std::ostream* os) {
    *os << "{" << r.period << ", " << r.facility << ", " << r.district << ", " << r.type << "}";
}

namespace {

data::Otchet value(int64_t period, int facility, int row, int district, int type = 1) {
    data::Otchet o;
    o.MES = static_cast<int>(period);
    o.CODUCH = facility;
    o.UNICODSTR = row;
    o.CODREG = district;
    o.TIP = type;
    return o;
}

TEST(ReportScan, OneEntryPerReportWithItsFirstRecordInKeyOrder) {
    fixture::InstallationFixture inst;
    const auto file = inst.dir() / "F0012.dat";
    // Facility 310's March report is stored under three rows; its first row
    // in key order (row 1) was written last and carries district 5.
    inst.write<data::Otchet>(file, {value(3, 310, 7, 9), value(3, 310, 4, 8), value(2, 400, 1, 6),
                                    value(3, 310, 1, 5), value(4, 310, 1, 5), value(3, 200, 2, 4, 2),
                                    value(13, 310, 1, 5)});
    std::vector<StoredReport> reports;
    ASSERT_TRUE(storedReports(file, 3, 4, reports));
    EXPECT_EQ(reports, (std::vector<StoredReport>{{3, 200, 4, 2}, {3, 310, 5, 1}, {4, 310, 5, 1}}));

    ASSERT_TRUE(storedReports(file, 0, 1, reports));
    EXPECT_TRUE(reports.empty());

    int64_t latest = -1;
    ASSERT_TRUE(latestPeriod(file, latest));
    EXPECT_EQ(latest, 13);
}

TEST(ReportScan, EmptyFileAndMissingFile) {
    fixture::InstallationFixture inst;
    const auto file = inst.dir() / "F0012.dat";
    inst.write<data::Otchet>(file, {});
    int64_t latest = -1;
    ASSERT_TRUE(latestPeriod(file, latest));
    EXPECT_EQ(latest, 0);

    std::vector<StoredReport> reports{{1, 1, 1, 1}};
    const platform::Status st = storedReports(inst.dir() / "F0099.dat", 0, 12, reports);
    EXPECT_FALSE(st);
    EXPECT_NE(st.message().find("F0099.dat"), std::string::npos) << st.message();
    EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace tavir::registry
