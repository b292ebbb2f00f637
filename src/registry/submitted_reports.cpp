#include "registry/submitted_reports.h"

#include "data/periods.h"
#include "platform/number_format.h"
#include "platform/text.h"
#include "registry/registry_names.h"
#include "registry/report_list.h"
#include "registry/report_scan.h"

#include <algorithm>
#include <tuple>

namespace tavir::registry {

using platform::Status;

namespace {

constexpr size_t kDistrictNameWidth = 25;
constexpr size_t kKindNameWidth = 15;
constexpr size_t kFacilityNameWidth = 100;
constexpr size_t kPeriodTextWidth = 8;
constexpr size_t kPrintedNameWidth = 45;
// District codes from here on are the chooser's pseudo-districts and units
// without a region1 record.
constexpr int kLastNamedDistrict = 249;
constexpr int kFirstDistrictFacility = entry::kDistrictFacilityBase + 1;
constexpr int kLastDistrictFacility = 21999;
constexpr int kFirstCityFacility = 21101;

void nameEntry(SubmittedEntry& e, const RegistryNames& names) {
    if (e.facility == entry::kRegionFacility) {
        e.districtName = "Тарвинская ";
        e.kindName = "область";
    } else if (e.facility == entry::kAllDistrictsFacility) {
        e.districtName = "Районы ";
        e.kindName = "области";
    } else if (e.facility >= kFirstDistrictFacility && e.facility <= kLastDistrictFacility) {
        e.kindName = e.facility < kFirstCityFacility ? "район" : "город";
    } else if (const data::Bolnbol* f = names.facility(e.facility)) {
        e.facilityName = std::string(platform::trimRight(f->NAZV)) + (f->SEL == 3 ? "*" : "");
        e.kind = f->VID;
    } else {
        e.facilityName = "?codUch-" + platform::formatNumber(e.facility);
    }
    if (e.district <= kLastNamedDistrict) {
        const std::string* district = names.districtName(e.district);
        e.districtName = district ? *district : "?CodReg-" + platform::formatNumber(e.district);
        if (e.facility <= entry::kRegionFacility) {
            const std::string* kind = names.kindName(e.kind);
            e.kindName = kind ? *kind : "?vid" + platform::formatNumber(e.kind);
        }
    }
    e.districtName = platform::cutToWidth(e.districtName, kDistrictNameWidth);
    e.kindName = platform::cutToWidth(e.kindName, kKindNameWidth);
    e.facilityName = platform::cutToWidth(e.facilityName, kFacilityNameWidth);
}

std::string trimmed(std::string_view text) { return std::string(platform::trimRight(text)); }

// A period bound as the window shows it: a date for daily forms.
std::string boundText(int periodType, int64_t bound) {
    return periodType == static_cast<int>(data::PeriodType::Daily) ? data::formatDayNumber(bound)
                                                                   : platform::formatNumber(bound);
}

}  // namespace

std::string periodText(int periodType, int64_t period) {
    const std::string number = platform::formatNumber(period);
    switch (periodType) {
        case 1: return platform::cutToWidth(number + "месяц", kPeriodTextWidth);
        case 2: return platform::cutToWidth(number + "квартал", kPeriodTextWidth);
        case 3: return platform::cutToWidth(number + "полугодие", kPeriodTextWidth);
        case 4: return platform::cutToWidth(number + "неделя", kPeriodTextWidth);
        case 5: return data::formatDayNumber(period);
        default: return {};
    }
}

Status buildSubmittedList(const data::Installation& installation, const std::filesystem::path& valueFile,
                          int periodType, int64_t low, int64_t high, std::vector<SubmittedEntry>& out) {
    out.clear();
    std::vector<StoredReport> reports;
    if (Status st = storedReports(valueFile, low, high, reports); !st) return st;
    if (reports.empty()) return Status::ok();
    RegistryNames names;
    if (Status st = readRegistryNames(installation, names); !st) return st;
    out.reserve(reports.size());
    for (const StoredReport& r : reports) {
        SubmittedEntry e;
        e.facility = r.facility;
        e.period = r.period;
        e.periodText = periodText(periodType, r.period);
        e.district = r.district;
        e.type = r.type;
        nameEntry(e, names);
        out.push_back(std::move(e));
    }
    std::stable_sort(out.begin(), out.end(), [](const SubmittedEntry& a, const SubmittedEntry& b) {
        return std::tie(a.district, a.kind, a.facility, a.period) < std::tie(b.district, b.kind, b.facility, b.period);
    });
    return Status::ok();
}

Status SubmittedReportsWindow::open(bool& opened) {
    if (Status st = openForm(opened); !st || !opened) return st;
    return rebuild();
}

Status SubmittedReportsWindow::openForm(bool& chosen) {
    chosen = false;
    year_ = keepYearInRange(state_, ui_);
    entry::FormChoice form;
    const entry::ChooserContext ctx{installation_, ui_, year_, state_.subject()};
    if (Status st = entry::chooseForm(ctx, entry::kFormNameWidth, form); !st) return st;
    if (form.code == 0) return Status::ok();
    chosen = true;
    form_ = form;
    defaultBounds();
    return Status::ok();
}

Status SubmittedReportsWindow::changeForm(bool& closed) {
    closed = false;
    entry::FormChoice form = form_;
    const entry::ChooserContext ctx{installation_, ui_, year_, state_.subject()};
    if (Status st = entry::chooseForm(ctx, entry::kFormNameWidth, form); !st) return st;
    if (form.code == 0) {
        closed = true;
        return Status::ok();
    }
    // The list belongs to the form it was built for: a report of it must not
    // open under the new form.
    const bool sameType = form.periodType == form_.periodType;
    form_ = form;
    entries_.clear();
    if (!sameType) defaultBounds();
    return Status::ok();
}

void SubmittedReportsWindow::defaultBounds() {
    low_ = high_ = 0;
    if (!periodsShown()) return;
    int64_t latest = 0;
    // An unreadable file shows when the list is built.
    latestPeriod(installation_.valueFile(year_, form_.code), latest);
    low_ = high_ = latest == 0 ? 1 : latest;
}

bool SubmittedReportsWindow::periodsShown() const { return form_.periodType != static_cast<int>(data::PeriodType::Annual); }

Status SubmittedReportsWindow::rebuild() {
    if (!periodsShown()) low_ = high_ = 0;
    Status st = buildSubmittedList(installation_, installation_.valueFile(year_, form_.code), form_.periodType, low_,
                                   high_, entries_);
    if (!st) {
        ui_.message(st.message());
        return st;
    }
    if (entries_.empty()) ui_.message(kNoReports);
    return Status::ok();
}

std::string SubmittedReportsWindow::totalText() const {
    return "Всего отчетов: " + platform::formatNumber(entries_.size());
}

entry::ChosenReport SubmittedReportsWindow::reportToOpen(size_t index) {
    const SubmittedEntry& e = entries_.at(index);
    entry::GivenReport given{e.facility,     e.district,        form_.code, form_.periodType, e.period,
                             e.facilityName, e.districtName,    form_.name, form_.number};
    entry::ChosenReport report = entry::givenReport(state_, ui_, given);
    // The report lives in the value file the list was read from, whatever
    // the working year has become since.
    report.year = year_;
    return report;
}

void SubmittedReportsWindow::reportClosed(size_t index, int district) {
    if (district != 0 || index >= entries_.size()) return;
    // A report stored with district 0 leaves its variable at 0 too: only a
    // report that is gone from the value file leaves the list.
    const SubmittedEntry& e = entries_[index];
    std::vector<StoredReport> still;
    if (!storedReports(installation_.valueFile(year_, form_.code), e.period, e.period, still)) return;
    const bool stored = std::any_of(still.begin(), still.end(),
                                    [&](const StoredReport& r) { return r.facility == e.facility; });
    if (!stored) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool SubmittedReportsWindow::printout(platform::Document& out) const {
    if (entries_.empty()) {
        ui_.message(kNoRequest);
        return false;
    }
    out = submittedPrintout(form_, entries_);
    return true;
}

Status SubmittedReportsWindow::exportList(platform::SpreadsheetServer& server, std::filesystem::path* workCopy) {
    analysis::WorkCopy copy;
    Status st = analysis::openTemplate(server, ui_, installation_, kSubmittedTemplate,
                                       analysis::kWorkCopyNumberWidth, copy);
    if (st && workCopy) *workCopy = copy.path;
    auto put = [&](int row, int column, std::string_view value) {
        if (st) st = server.poke(copy.channel, platform::cellItem(row, column), platform::trimRight(value));
    };
    put(1, 1, platform::padRight(platform::cutToWidth(form_.number, 10), 10) + form_.name);
    put(2, 1,
        "СПИСОК УЧРЕЖДЕНИЙ СДАВШИХ ОТЧЕТ. За период с " + boundText(form_.periodType, low_) + " по " +
            boundText(form_.periodType, high_) + " " + form_.periodName);
    const std::string headings[] = {"Регион", "Вид", "ЛПУ", form_.periodName, "Код ЛПУ", "Код Региона",
                                    "Отчетный период"};
    for (int c = 0; c < 7; ++c) put(9, c + 1, headings[c]);
    int row = 9;
    for (const SubmittedEntry& e : entries_) {
        ++row;
        put(row, 1, e.districtName);
        put(row, 2, e.kindName);
        put(row, 3, e.facilityName);
        put(row, 4, e.periodText);
        put(row, 5, platform::formatNumber(e.facility));
        put(row, 6, platform::formatNumber(e.district));
        put(row, 7, platform::formatNumber(e.period));
    }
    if (st) st = analysis::frameTable(server, copy, 9, 1, row, 3);
    return analysis::finishExport(server, ui_, copy, st);
}

platform::Document submittedPrintout(const entry::FormChoice& form, const std::vector<SubmittedEntry>& entries) {
    using platform::Align;
    using platform::Band;
    using platform::Font;
    platform::PageBuilder pages;
    const int width = pages.setup().bodyWidth();
    const Font plain{};
    Font bold;
    bold.bold = true;
    Font title = bold;
    title.size = 12;
    const int line = platform::lineHeight(plain);

    Band head;
    head.height = platform::lineHeight(title) * 2;
    head.text(0, 4200, "Список ЛПУ сдавших отчет", title)
        .text(4300, 900, "Форма", title)
        .text(5200, width - 5200, platform::formatNumber(form.code), title);
    pages.add(std::move(head));
    pages.add(platform::textBand(trimmed(form.name), width, plain));

    const int districtW = 2000, nameW = 4100, kindX = districtW + nameW;
    Band headings;
    headings.height = line * 2;
    headings.text(0, districtW, "Район", bold)
        .text(districtW, nameW, "Учреждение", bold)
        .text(kindX, width - kindX, "Вид ЛПУ", bold)
        .line(0, line * 2 - 20, width, line * 2 - 20);
    pages.add(std::move(headings));
    for (const SubmittedEntry& e : entries) {
        Band band;
        band.height = line;
        band.text(0, districtW - 60, trimmed(e.districtName), plain)
            .text(districtW, nameW - 60, trimmed(platform::cutToWidth(e.facilityName, kPrintedNameWidth)), plain)
            .text(kindX, width - kindX, trimmed(e.kindName), plain);
        pages.add(std::move(band));
    }
    for (const char* legend : {"  ЦРБ - Центральная районная больница", "  УБ - Участковая больница",
                               "  РБ - Районная больница", "  ЦРП - Центральная районная поликлиника"}) {
        pages.add(platform::textBand(legend, width, plain));
    }
    return pages.finish();
}

}  // namespace tavir::registry
