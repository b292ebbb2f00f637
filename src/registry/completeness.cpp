#include "registry/completeness.h"

#include "data/periods.h"
#include "data/record_binding.h"
#include "maintenance/report_print.h"
#include "platform/number_format.h"
#include "platform/text.h"
#include "registry/registry_names.h"
#include "registry/report_scan.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

namespace tavir::registry {

using platform::Status;

namespace {

constexpr size_t kRowNameWidth = 150;
constexpr size_t kFacilityNamePart = 50;
constexpr size_t kFormCodeWidth = 12;
// Districts from here on are regional units: their facilities get rows of
// their own in "по районам".
constexpr int kFirstRegionalDistrict = 200;
constexpr int kRegionalFacilitiesDistrict = 201;

// The half-year a month falls in for the count: 2 for December, 1 for June
// to November, 0 otherwise.
int64_t halfYearOf(int64_t month) {
    if (month == 12) return 2;
    if (month >= 6 && month <= 11) return 1;
    return 0;
}

// One report found: once per facility and period of a form.
struct WorkEntry {
    int facility = 0;
    int form = 0;
    int district = 0;
};

std::string trimmed(std::string_view text) { return std::string(platform::trimRight(text)); }

std::string rowName(CompletenessBy by, int district, int facility, const RegistryNames& names) {
    const std::string* districtName = names.districtName(district);
    const std::string region = districtName ? trimmed(*districtName) : std::string();
    const data::Bolnbol* f = names.facility(facility);
    const std::string facilityName = f ? platform::cutToWidth(f->NAZV, kFacilityNamePart) : std::string();
    if (by == CompletenessBy::Facilities) return region + " " + facilityName;
    if (district < kFirstRegionalDistrict) return region;
    if (district == kRegionalFacilitiesDistrict) return facilityName;
    return region + " ";
}

}  // namespace

std::optional<PeriodRange> formPeriods(int periodType, int64_t low, int64_t high) {
    switch (periodType) {
        case 0:
        case 4: return PeriodRange{0, 0};
        case 1:
        case 5: return PeriodRange{low, high};
        case 2:
            if (high < 3) return std::nullopt;
            return PeriodRange{low / 3, high / 3};
        case 3: return PeriodRange{halfYearOf(low), halfYearOf(high)};
        default: return std::nullopt;
    }
}

Status countCompleteness(const data::Installation& installation, int year, int64_t low, int64_t high,
                         CompletenessBy by, CompletenessTable& out) {
    out = CompletenessTable{};
    out.by = by;
    out.year = year;
    out.low = low;

    std::vector<data::Forma> forms;
    {
        data::RecordFile<data::Forma> file(installation.formaFile(year));
        if (Status st = file.open(); !st) return st;
        auto cursor = file.all();
        data::Forma f;
        while (cursor.next(f)) {
            if (f.UNICOD != 0 && f.VKL != 1) forms.push_back(f);
        }
        if (!cursor.status()) return cursor.status();
    }

    std::vector<WorkEntry> work;
    std::map<int, std::string> codeTexts;
    std::vector<StoredReport> reports;
    for (const data::Forma& f : forms) {
        const std::optional<PeriodRange> range = formPeriods(f.TIP, low, high);
        if (!range) continue;
        if (Status st = storedReports(installation.valueFile(year, f.UNICOD), range->from, range->to, reports); !st) {
            return st;
        }
        codeTexts.emplace(f.UNICOD, platform::cutToWidth(f.COD, kFormCodeWidth));
        for (const StoredReport& r : reports) work.push_back({r.facility, f.UNICOD, r.district});
    }
    std::stable_sort(work.begin(), work.end(), [](const WorkEntry& a, const WorkEntry& b) {
        return std::tie(a.form, a.district, a.facility) < std::tie(b.form, b.district, b.facility);
    });

    RegistryNames names;
    if (Status st = readRegistryNames(installation, names); !st) return st;

    // A district's row and a facility's row may carry the same number: the
    // key tells them apart.
    std::map<std::pair<bool, int>, size_t> rowOf;
    std::vector<CompletenessRow> rows;
    for (const WorkEntry& w : work) {
        if (out.columns.empty() || out.columns.back().form != w.form) {
            if (static_cast<int>(out.columns.size()) == kMaxFormColumns) break;
            out.columns.push_back({w.form, codeTexts[w.form]});
        }
        const bool districtRow = by == CompletenessBy::Districts && w.district < kFirstRegionalDistrict;
        const int code = districtRow ? w.district : w.facility;
        auto [it, added] = rowOf.try_emplace({districtRow, code}, rows.size());
        if (added) {
            CompletenessRow row;
            row.code = code;
            row.district = w.district;
            row.name = platform::cutToWidth(rowName(by, w.district, w.facility, names), kRowNameWidth);
            rows.push_back(std::move(row));
        }
        std::vector<int>& counts = rows[it->second].counts;
        counts.resize(out.columns.size());
        ++counts.back();
    }
    if (by == CompletenessBy::Districts) {
        for (const data::Region1& d : names.districts) {
            const bool has = std::any_of(rows.begin(), rows.end(), [&](const auto& r) { return r.district == d.CODREG; });
            if (!has) rows.push_back({d.CODREG, platform::cutToWidth(trimmed(d.NAME), kRowNameWidth), {}, d.CODREG});
        }
    }
    CompletenessRow total{0, std::string(kTotalRowName), std::vector<int>(out.columns.size()), 0, true};
    for (CompletenessRow& r : rows) {
        r.counts.resize(out.columns.size());
        for (size_t k = 0; k < r.counts.size(); ++k) total.counts[k] += r.counts[k];
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return std::tie(a.district, a.code) < std::tie(b.district, b.code); });
    out.rows.reserve(rows.size() + 1);
    out.rows.push_back(std::move(total));
    std::move(rows.begin(), rows.end(), std::back_inserter(out.rows));
    return Status::ok();
}

void CompletenessWindow::setYear(int year) {
    state_.globYear = year;
    year_ = year;
    table_ = CompletenessTable{};
}

void CompletenessWindow::setDaily(bool on) {
    if (on == daily_) return;
    daily_ = on;
    low_ = high_ = 0;
}

std::string CompletenessWindow::boundText(int64_t bound) const {
    if (!daily_) return platform::formatNumber(bound);
    return bound > 0 ? data::formatDayNumber(bound) : std::string();
}

Status CompletenessWindow::run(std::time_t now) {
    const std::string stamp = maintenance::printDateText(now);
    if (high_ < low_) high_ = low_;
    CompletenessTable table;
    if (Status st = countCompleteness(installation_, year_, low_, high_, by_, table); !st) {
        ui_.message(st.message());
        return st;
    }
    table.stamp = stamp;
    table.daily = daily_;
    table_ = std::move(table);
    return Status::ok();
}

Status CompletenessWindow::exportTable(platform::SpreadsheetServer& server, std::filesystem::path* workCopy) {
    const CompletenessTable& t = table_;
    analysis::WorkCopy copy;
    Status st = analysis::openTemplate(server, ui_, installation_, kCompletenessTemplate, kCompletenessNumberWidth,
                                       copy);
    if (st && workCopy) *workCopy = copy.path;
    auto put = [&](int row, int column, std::string_view value) {
        if (st) st = server.poke(copy.channel, platform::cellItem(row, column), platform::trimRight(value));
    };
    const std::string low = t.daily ? data::formatDayNumber(t.low) : platform::formatNumber(t.low);
    put(1, 1, "Информация о количестве сданных отчетов за" + low + " месяц");
    put(9, 1, t.by == CompletenessBy::Districts ? "Регион" : "ЛПУ");
    const int columns = static_cast<int>(t.columns.size());
    // Column k (from 1) of the table goes to sheet column k + 2.
    for (int k = 0; k < columns; ++k) {
        put(8, k + 3, platform::formatNumber(t.columns[k].form));
        put(9, k + 3, t.columns[k].code);
    }
    int row = 9;
    for (const CompletenessRow& r : t.rows) {
        ++row;
        put(row, 1, r.name);
        if (!r.total) put(row, 2, platform::formatNumber(r.code));
        for (int k = 0; k < columns; ++k) put(row, k + 3, platform::formatNumber(r.counts[k]));
    }
    if (st) st = analysis::frameTable(server, copy, 8, 1, row, columns + 2);
    return analysis::finishExport(server, ui_, copy, st);
}

platform::Document completenessPrintout(const CompletenessTable& table) {
    using platform::Align;
    using platform::Band;
    using platform::Font;
    platform::PageSetup setup;
    setup.orientation = platform::Orientation::Landscape;
    platform::PageBuilder pages(setup);
    const int width = pages.setup().bodyWidth();
    Font plain;
    plain.size = 9;
    Font bold = plain;
    bold.bold = true;
    Font small = plain;
    small.size = 7;
    const int line = platform::lineHeight(plain);

    Band title;
    title.height = line * 2;
    const std::string low = table.daily ? data::formatDayNumber(table.low) : platform::formatNumber(table.low);
    title.text(0, 4600, "Информация о количестве сданных отчетов за", bold)
        .text(4600, 900, low, bold, Align::Center)
        .text(5500, 900, platform::formatNumber(table.year) + "г.", bold)
        .text(6400, 900, "месяц", bold)
        .text(7300, width - 7300, table.stamp, plain, Align::Right);
    pages.add(std::move(title));

    const int columns = std::min(static_cast<int>(table.columns.size()), kMaxPrintedColumns);
    const int nameW = 3000;
    const int cellW = columns > 0 ? std::min(600, (width - nameW) / columns) : 600;
    auto cellX = [&](int k) { return nameW + k * cellW; };

    Band numbers;
    numbers.height = line;
    numbers.text(0, nameW, " ", bold);
    for (int k = 0; k < columns; ++k) {
        numbers.text(cellX(k), cellW, platform::formatNumber(table.columns[k].form), bold, Align::Center, true);
    }
    pages.add(std::move(numbers));
    Band codes;
    codes.lines = 2;
    codes.height = platform::lineHeight(small) * 2;
    for (int k = 0; k < columns; ++k) {
        codes.text(cellX(k), cellW, trimmed(table.columns[k].code), small, Align::Center, true);
    }
    pages.add(std::move(codes));

    for (const CompletenessRow& r : table.rows) {
        Band band;
        // A long name gets a taller band that wraps it.
        const bool tall = platform::charCount(r.name) >= 30;
        band.lines = tall ? std::max(2, platform::estimateLines(r.name, nameW - 60, plain)) : 1;
        band.height = band.lines * line;
        band.text(0, nameW - 60, trimmed(r.name), r.total ? bold : plain);
        for (int k = 0; k < columns; ++k) {
            const int n = r.counts[k];
            band.text(cellX(k), cellW, n == 0 ? std::string() : " " + platform::formatNumber(n), plain, Align::Center,
                      true);
        }
        pages.add(std::move(band));
    }
    return pages.finish();
}

}  // namespace tavir::registry
