// A small region for the registry windows: districts 5 "Береговой", 6
// "Озерный", 101 "Тарвин" and 201 "Областные учреждения", facility kinds 1
// "ЦРБ" and 2 "УБ" (facility 340 has kind 7, missing from viduch; 320 is
// closed, BOL:SEL 3), and forms of 2026 whose value files the tests fill
// report by report.
#pragma once

#include "../app/installation_fixture.h"
#include "app/shared_state.h"
#include "data/record_binding.h"
#include "platform/xlsx_workbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavir::fixture {

class SubmissionInstallation : public InstallationFixture {
public:
    static constexpr int kYear = 2026;

    SubmissionInstallation() {
        yearDir(kYear);
        regions({{5, "Береговой"}, {6, "Озерный"}, {101, "Тарвин"}, {201, "Областные учреждения"}});
        write<data::Viduch>(dir() / "VIDUCH.dat", {{1, "ЦРБ"}, {2, "УБ"}});
        facilities({facility(310, 5, "Береговая ЦРБ", 1), facility(320, 5, "Мысовая участковая больница", 2, 3),
                    facility(330, 6, "Озерная ЦРБ", 1),
                    facility(340, 5, "Береговой ФАП", 7), facility(410, 101, "Тарвинская городская больница", 1),
                    facility(900, 201, "Областная клиническая больница", 1),
                    facility(910, 201, "Областной онкологический диспансер", 2)});
        write<data::Wwod>(dir() / "WWOD.dat", {});
        state.globYear = kYear;
        state.globYearS = kYear;
        state.globYearE = kYear;
    }

    // The forms of the year, replacing any before, each with an empty value file.
    void setForms(std::vector<data::Forma> list) {
        std::filesystem::remove(installation().formaFile(kYear));
        for (const auto& f : list) write<data::Otchet>(valueFile(f.UNICOD), {});
        forms(kYear, std::move(list));
    }
    std::filesystem::path valueFile(int form) const { return installation().valueFile(kYear, form); }

    // A report of `facility` stored under district `district`, as `rows` value records.
    void report(int form, int64_t period, int facility, int district, int rows = 1) {
        data::RecordFile<data::Otchet> f(valueFile(form));
        ensure(f.open());
        for (int r = 1; r <= rows; ++r) {
            data::Otchet o;
            o.MES = static_cast<int>(period);
            o.CODUCH = facility;
            o.CODREG = district;
            o.UNICODSTR = r;
            o.CODTAB = 1;
            o.DATA[0] = platform::Decimal::fromDouble(r);
            ensure(f.add(o));
        }
        f.close();
    }

    // A template "XLS/<name>.xlsx" holding a heading the export must keep.
    void templateWorkbook(const std::string& name) {
        std::filesystem::create_directories(dir() / "XLS");
        platform::XlsxWorkbook book = platform::XlsxWorkbook::createNew();
        ensure(book.setText(3, 1, "Шаблон"));
        ensure(book.save(dir() / "XLS" / (name + ".xlsx")));
    }

    app::SharedState state;
};

// A written work copy read back, cell by cell.
class Sheet {
public:
    explicit Sheet(const std::filesystem::path& path) { InstallationFixture::ensure(platform::XlsxWorkbook::load(path, book_)); }
    std::string text(int row, int column) const { return book_.value(row, column).text; }
    // The value of a number cell; a cell of another kind fails the test.
    double number(int row, int column) const {
        EXPECT_EQ(book_.value(row, column).kind, platform::CellKind::Number) << "R" << row << "C" << column;
        return book_.value(row, column).number;
    }
    bool empty(int row, int column) const { return book_.value(row, column).kind == platform::CellKind::Empty; }
    platform::CellFormat format(int row, int column) const { return book_.format(row, column); }

private:
    platform::XlsxWorkbook book_;
};

}  // namespace tavir::fixture
