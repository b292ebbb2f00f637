// Small installations for the control runs: reference files of 2014 with
// rules, value records, and files of layouts shared under another label
// (ContrMF, exchange files, old-format files).
#pragma once

#include "../app/installation_fixture.h"
#include "../support/page_texts.h"
#include "controls/views.h"
#include "data/exchange_record.h"
#include "data/records.h"
#include "platform/print_pages.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavir::fixture {

inline constexpr int kYear = 2014;

// A keyed file of `label` (whose layout is T's) holding the records.
template <class T>
void writeAs(const std::filesystem::path& path, std::string_view label, std::vector<T> records) {
    std::filesystem::create_directories(path.parent_path());
    InstallationFixture::ensure(platform::KeyedFile::create(*data::findFile(label), path));
    data::RecordFile<T> file(path, label);
    InstallationFixture::ensure(file.open());
    for (T& r : records) InstallationFixture::ensure(file.add(r));
}

inline data::ContrStr rowRule(int64_t number, int form, int column, int left, int relation,
                              std::initializer_list<int> terms) {
    data::ContrStr r;
    r.UNICOD = number;
    r.CODFORM = form;
    r.CODGR = column;
    r.UNICODSTR = left;
    r.SNAK = relation;
    int k = 0;
    for (int t : terms) r.S1[k++] = t;
    return r;
}

inline data::ContrTab tableRule(int number, int form, int left, int column, int relation,
                                std::initializer_list<std::pair<int, int>> terms) {
    data::ContrTab r;
    r.UNICOD = number;
    r.CODFORM = form;
    r.UNICODSTR = left;
    r.CODGR = column;
    r.SNAK = relation;
    int k = 0;
    for (auto [row, col] : terms) {
        r.US1[k] = row;
        r.CODGRS1[k++] = col;
    }
    return r;
}

// A value record with values by value index from 1.
inline data::Otchet value(int district, int facility, int table, int month, int unicod,
                          std::initializer_list<double> values) {
    data::Otchet o;
    o.CODREG = district;
    o.CODUCH = facility;
    o.CODTAB = table;
    o.MES = month;
    o.TIP = 1;
    o.UNICODSTR = unicod;
    int i = 0;
    for (double v : values) o.DATA[i++] = platform::Decimal::fromDouble(v);
    return o;
}

inline data::Ot2 exchange(int form, const data::Otchet& o) { return data::exchangeRecord(form, o); }

// The reference and rule files of one year; files not given are written empty.
struct YearFiles {
    std::vector<data::Forma> forms;
    std::vector<data::Tabl> tables;
    std::vector<data::Stroka> rows;
    std::vector<data::ContrStr> rowRules;
    std::vector<data::ContrGr> columnRules;
    std::vector<data::ContrTab> tableRules;
    std::vector<data::ContrStr> interformRules;
};

inline void writeYear(InstallationFixture& fx, const YearFiles& y, int year = kYear) {
    const auto& inst = fx.installation();
    fx.forms(year, y.forms);
    fx.write(inst.tablFile(year), y.tables);
    fx.write(inst.strokaFile(year), y.rows);
    fx.write(inst.contrStrFile(year), y.rowRules);
    fx.write(inst.contrGrFile(year), y.columnRules);
    fx.write(inst.contrTabFile(year), y.tableRules);
    writeAs(inst.contrMFFile(year), data::label::contrMF, y.interformRules);
}

// Records the result windows a run opens.
struct RecordingViews : controls::ControlViews {
    void showErrorList(controls::ErrorListWindow& window) override { errorLists.push_back(window); }
    void showRunResults(controls::RunResultsWindow& window) override { results.push_back(window); }
    std::vector<controls::ErrorListWindow> errorLists;
    std::vector<controls::RunResultsWindow> results;
};

}  // namespace tavir::fixture
