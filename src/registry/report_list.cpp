#include "registry/report_list.h"

#include "data/periods.h"
#include "data/records.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "platform/text.h"
#include "registry/registry_names.h"
#include "registry/report_scan.h"

#include <algorithm>

namespace tavir::registry {

using platform::Status;

namespace {

constexpr int kFormNameWidth = 250;
constexpr int kRegionTextWidth = 70;
constexpr int kKindTextWidth = 50;
constexpr int kTitleWidth = 150;
constexpr int kDistrictNameWidth = 30;
constexpr int kKindNameWidth = 50;
constexpr int kFacilityNameWidth = 50;
constexpr int kKindChoiceWidth = 23;
constexpr std::string_view kNoReports = "отчетов нет";
constexpr std::string_view kNoSuchReports = "ТАКИХ ОТЧЕТОВ НЕТ";
constexpr std::string_view kMissingDistrict = "???";

std::string settlementText(int code) {
    switch (code) {
        case 1: return "город";
        case 2: return "село";
        case 3: return "село*";
        default: return "";
    }
}

// The upper period a form of this type allows in the list's entry.
std::optional<int64_t> limitedUpper(int periodType, std::optional<int64_t> upper) {
    if (!upper || *upper <= 0) return std::nullopt;
    switch (periodType) {
        case 1: return std::min<int64_t>(*upper, 12);
        case 2: return std::min<int64_t>(*upper, 4);
        case 3: return std::min<int64_t>(*upper, 2);
        default: return upper;
    }
}

int64_t yesterday(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return data::dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) - 1;
}

}  // namespace

int keepYearInRange(app::SharedState& state, platform::Interaction& ui) {
    const data::YearRange range = state.yearRange();
    int year = state.globYear.load();
    if (year < range.first || year > range.last) {
        ui.message("Период с " + std::to_string(range.first) + "г. по " + std::to_string(range.last) + "г.");
        year = year < range.first ? range.first : range.last;
        state.globYear = year;
    }
    return year;
}

ReportListWindow::ReportListWindow(const data::Installation& installation, app::SharedState& state,
                                   platform::Interaction& ui)
    : installation_(installation), state_(state), ui_(ui), clock_([] { return std::time(nullptr); }) {}

entry::ChooserContext ReportListWindow::context() const {
    entry::ChooserContext ctx = entry::currentContext(installation_, ui_, state_);
    ctx.year = year_;
    return ctx;
}

Status ReportListWindow::open(bool& opened) {
    if (Status st = openForm(opened); !st || !opened) return st;
    upper_.reset();
    return build();
}

Status ReportListWindow::openForm(bool& chosen) {
    chosen = false;
    year_ = keepYearInRange(state_, ui_);
    return chooseForm(chosen);
}

Status ReportListWindow::chooseForm(bool& chosen) {
    entry::FormChoice choice;
    Status st = entry::chooseForm(context(), kFormNameWidth, choice);
    chosen = st && choice.code != 0;
    if (!chosen) return st;
    const bool different = !formChosen_ || choice.code != form_.code;
    const bool otherType = !formChosen_ || choice.periodType != form_.periodType;
    form_ = choice;
    formChosen_ = true;
    if (different) entries_.clear();
    if (otherType) {
        lower_ = 1;
        upper_ = limitedUpper(form_.periodType, upper_);
    }
    return st;
}

Status ReportListWindow::changeForm(bool& open) { return chooseForm(open); }

void ReportListWindow::changeYear(int year) {
    state_.globYear = year;
    year_ = keepYearInRange(state_, ui_);
    entries_.clear();
}

void ReportListWindow::clearFilters() {
    town_ = village_ = true;
    district_ = kind_ = 0;
    regionText_ = std::string(kRegionText);
    kindText_.clear();
}

Status ReportListWindow::build() {
    entries_.clear();
    clearFilters();
    if (form_.periodType == 0) {
        lower_ = 0;
        upper_ = 0;
    }
    const auto valueFile = installation_.valueFile(year_, form_.code);
    auto shown = [this](Status st) {
        if (!st) ui_.message(st.message());
        return st;
    };
    if (!upper_) {
        int64_t latest = 0;
        if (Status st = latestPeriod(valueFile, latest); !st) return shown(st);
        if (latest == 0 && form_.periodType != 0) latest = form_.periodType == 5 ? yesterday(clock_()) : 1;
        lower_ = latest;
        upper_ = latest;
    }
    std::vector<StoredReport> reports;
    if (Status st = storedReports(valueFile, lower_, *upper_, reports); !st) return shown(st);
    entries_.reserve(reports.size());
    for (const StoredReport& r : reports) {
        ReportListEntry e;
        e.facility = r.facility;
        e.period = r.period;
        e.district = r.district;
        entries_.push_back(std::move(e));
    }
    if (Status st = fillNamesAndChoices(); !st) return shown(st);
    if (Status st = findColumnKindSwitch(); !st) return shown(st);
    if (entries_.empty()) ui_.message(kNoReports);
    std::stable_sort(entries_.begin(), entries_.end(), [](const ReportListEntry& a, const ReportListEntry& b) {
        return std::tie(a.district, a.kind, a.facility, a.period) < std::tie(b.district, b.kind, b.facility, b.period);
    });
    for (size_t i = 0; i < entries_.size(); ++i) entries_[i].number = static_cast<int>(i) + 1;
    return Status::ok();
}

Status ReportListWindow::fillNamesAndChoices() {
    RegistryNames names;
    if (Status st = readRegistryNames(installation_, names); !st) return st;
    auto districtName = [&](int code) {
        const std::string* name = names.districtName(code);
        return platform::cutToWidth(name ? std::string_view(*name) : kMissingDistrict, kDistrictNameWidth);
    };

    for (ReportListEntry& e : entries_) {
        if (e.facility == entry::kRegionFacility) {
            e.districtName = "Тарвинская ";
            e.facilityName = " область";
        } else if (e.facility == entry::kAllDistrictsFacility) {
            e.districtName = "Районы ";
            e.facilityName = " области";
        } else if (e.facility > entry::kDistrictFacilityBase && e.facility < entry::kDistrictFacilityBase + 1000) {
            e.districtName = districtName(e.district);
            e.facilityName = e.facility - entry::kDistrictFacilityBase < 100 ? " район" : " город";
            e.kindName = e.facilityName;
        } else if (const data::Bolnbol* facility = names.facility(e.facility); !facility) {
            e.facilityName = "uch" + std::to_string(e.facility) + "reg" + std::to_string(e.district);
        } else {
            const data::Bolnbol& b = *facility;
            e.facilityName = platform::cutToWidth(b.NAZV, kFacilityNameWidth);
            e.kind = b.VID;
            e.settlementCode = b.SEL;
            e.settlement = settlementText(b.SEL);
            if (const std::string* kind = names.kindName(b.VID)) e.kindName = platform::cutToWidth(*kind, kKindNameWidth);
            e.districtName = districtName(e.district);
            if (e.district != b.CODREG) ui_.message("Неверен регион-код лпу" + std::to_string(e.facility));
        }
    }

    districts_.clear();
    for (const auto& [code, name] : names.districtNames) districts_.push_back({code, name});
    for (auto [code, name] : {std::pair<int, std::string_view>{0, kRegionText}, {kRuralDistricts, "Районы"},
                              {kCities, "Тарвин+Ольмов"}, {kMunicipalDistricts, "Муниципальные"}}) {
        districts_.push_back({code, std::string(name)});
    }
    std::stable_sort(districts_.begin(), districts_.end(),
                     [](const entry::Choice& a, const entry::Choice& b) { return a.code < b.code; });
    kinds_.clear();
    kinds_.push_back({0, "Все виды ЛПУ"});
    for (const auto& [code, name] : names.kindNames) {
        if (code != 0) kinds_.push_back({code, platform::cutToWidth(name, kKindChoiceWidth)});
    }
    return Status::ok();
}

Status ReportListWindow::findColumnKindSwitch() {
    columnKindSwitch_ = false;
    if (form_.periodType != 0) {
        data::RecordFile<data::Grafa> file(installation_.grafaFile(year_));
        if (Status st = file.open(); !st) return st;
        Status st;
        {
            auto cursor = file.byKey("GRA1", {form_.code});
            data::Grafa g;
            while (cursor.next(g) && g.CODFORM == form_.code) {
                if (g.VID != 0 && g.TYPEGR == 0) {
                    columnKindSwitch_ = true;
                    break;
                }
            }
            st = cursor.status();
        }
        file.close();
        if (!st) return st;
    }
    if (!columnKindSwitch_) ignoreColumnKinds_ = false;
    return Status::ok();
}

std::string ReportListWindow::caption() const {
    return std::string(platform::trimRight(form_.number)) + " " + form_.name;
}

bool ReportListWindow::enterPeriods(std::string_view lower, std::string_view upper) {
    auto trimmed = [](std::string_view text) {
        text = platform::trimRight(text);
        return text.substr(std::min(text.find_first_not_of(' '), text.size()));
    };
    auto parse = [&](std::string_view text) -> std::optional<int64_t> {
        if (showsDates()) return data::parseDdMmYy(text);
        const auto value = platform::parseIntegerStrict(trimmed(text));
        return value && *value >= 0 ? value : std::nullopt;
    };
    const auto low = parse(lower);
    const bool upperBlank = trimmed(upper).empty();
    const auto high = upperBlank ? std::nullopt : parse(upper);
    if (!low || (!upperBlank && !high)) {
        ui_.beep();
        ui_.message("Неверно указан период: " + std::string(low ? upper : lower));
        return false;
    }
    lower_ = *low;
    upper_ = high;
    return true;
}

std::string ReportListWindow::periodText(int64_t period) const {
    return showsDates() ? data::formatDayNumber(period) : std::to_string(period);
}

int ReportListWindow::markedCount() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const auto& e) { return e.marked; }));
}

void ReportListWindow::toggle(int index) {
    if (index >= 0 && index < static_cast<int>(entries_.size())) entries_[index].marked = !entries_[index].marked;
}

void ReportListWindow::markAll() {
    for (auto& e : entries_) e.marked = true;
    clearFilters();
}

void ReportListWindow::reset() {
    for (auto& e : entries_) e.marked = false;
    clearFilters();
}

void ReportListWindow::chooseDistrict(int code) {
    district_ = code;
    auto it = std::find_if(districts_.begin(), districts_.end(), [code](const auto& c) { return c.code == code; });
    regionText_ = code == 0 ? std::string(kRegionText)
                            : platform::fitToWidth(it == districts_.end() ? "" : it->name, kRegionTextWidth);
    remark();
}

void ReportListWindow::chooseKind(int code) {
    kind_ = code;
    auto it = std::find_if(kinds_.begin(), kinds_.end(), [code](const auto& c) { return c.code == code; });
    kindText_ = code == 0 || it == kinds_.end() ? "" : platform::fitToWidth(it->name, kKindTextWidth);
    remark();
}

void ReportListWindow::setTown(bool on) {
    town_ = on;
    remark();
}

void ReportListWindow::setVillage(bool on) {
    village_ = on;
    remark();
}

void ReportListWindow::remark() {
    const bool none = district_ == 0 && kind_ == 0 && town_ && village_;
    for (auto& e : entries_) {
        if (none) {
            e.marked = false;
            continue;
        }
        const bool inDistrict = district_ == 0 || (district_ == kRuralDistricts && e.district < 100) ||
                                (district_ == kCities && e.district >= 101 && e.district <= 199) ||
                                (district_ == kMunicipalDistricts && e.district < 200) || district_ == e.district;
        e.marked = inDistrict && (kind_ == 0 || kind_ == e.kind) && (town_ || e.settlementCode != 1) &&
                   (village_ || e.settlementCode <= 1);
    }
}

std::optional<int> ReportListWindow::findCode(int facility) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].facility == facility) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<int> ReportListWindow::findName(std::string_view text, std::optional<int> selected) const {
    const std::string wanted(platform::trimRight(text));
    if (wanted.empty() || entries_.empty()) return std::nullopt;
    const std::string variant = platform::flipFirstCyrillicCase(wanted);
    const size_t n = entries_.size();
    const size_t start = selected && *selected >= 0 ? static_cast<size_t>(*selected) + 1 : 0;
    for (size_t k = 0; k < n; ++k) {
        const size_t i = (start + k) % n;
        const std::string& name = entries_[i].facilityName;
        if (name.find(wanted) != std::string::npos || name.find(variant) != std::string::npos) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::string ReportListWindow::description(const ReportListEntry& e, std::string_view abbreviation) const {
    return e.districtName + (e.district < 100 ? " р-н" : "") + " " + e.facilityName + "(" + periodText(e.period) +
           std::string(abbreviation) + ")";
}

std::optional<AnalysisRequest> ReportListWindow::request(Analysis analysis) {
    const std::string_view abbreviation = periodAbbreviation(form_.periodType);
    std::vector<const ReportListEntry*> marked;
    for (const auto& e : entries_) {
        if (e.marked) marked.push_back(&e);
    }
    const std::string region(platform::trimRight(regionText_));
    if (district_ > 0 && district_ < kRuralDistricts &&
        std::any_of(marked.begin(), marked.end(), [this](const auto* e) { return e->district != district_; })) {
        ui_.message("Отмечены ЛПУ невходящие в " + region + " регион.");
        return std::nullopt;
    }
    std::string kindText = kindText_;
    if (kind_ != 0 && std::any_of(marked.begin(), marked.end(), [this](const auto* e) { return e->kind != kind_; })) {
        kindText.clear();
    }

    std::string r = regionText_;
    std::string title;
    bool described = false;
    if (kind_ != 0 && district_ != 0) {
        title = district_ < 100 ? r + " р-н " + kindText : r + " " + kindText;
    } else if (district_ != 0) {
        title = district_ < 100 ? r + " р-н " : r;
    } else if (kind_ != 0) {
        title = std::string(kRegionText) + " " + kindText;
        r = title;
    } else {
        described = !marked.empty();
        if (marked.empty()) {
            title = std::string(kRegionText);
        } else if (marked.size() == 1) {
            title = description(*marked[0], abbreviation);
        } else if (marked.size() == 2) {
            title = description(*marked[0], abbreviation) + ";" + description(*marked[1], abbreviation);
        } else {
            title = std::string(kRegionText) + "(" + std::to_string(marked.size()) + "отчетов)";
        }
        r = title;
    }

    if (village_ && !town_) {
        if (std::none_of(marked.begin(), marked.end(), [](const auto* e) { return e->settlementCode < 2; })) {
            title = r + " " + kindText + " село";
        }
    } else if (town_ && !village_) {
        if (std::none_of(marked.begin(), marked.end(), [](const auto* e) { return e->settlementCode != 1; })) {
            title = r + " " + kindText + " город";
        }
    }

    AnalysisRequest req;
    if (kind_ != 0 || !town_ || !village_ || described || district_ >= kRuralDistricts) {
        if (marked.empty()) {
            ui_.message(kNoSuchReports);
            return std::nullopt;
        }
        for (const auto* e : marked) req.chosen.push_back({e->facility, e->period});
        if (marked.size() == 1 && described) title = description(*marked[0], abbreviation);
    }
    std::sort(req.chosen.begin(), req.chosen.end());
    if (analysis != Analysis::Breakdown) {
        const bool handMarked = described && district_ == 0 && kind_ == 0;
        title = periodDescription(year_, form_.periodType, lower_, upper_.value_or(lower_), handMarked) + title;
    }

    req.form = form_.code;
    req.formNumber = platform::cutToWidth(form_.number, 10);
    req.formName = form_.name;
    req.periodType = form_.periodType;
    req.lower = lower_;
    req.upper = upper_.value_or(lower_);
    req.district = districtForAnalysis(district_, analysis);
    req.ignoreColumnKinds = ignoreColumnKinds_;
    req.title = platform::cutToWidth(title, kTitleWidth);
    req.year = year_;
    return req;
}

}  // namespace tavir::registry
