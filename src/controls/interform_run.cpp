#include "controls/interform_run.h"

#include "platform/cp1251.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <algorithm>
#include <deque>
#include <map>

namespace tavir::controls {

using platform::Status;

Status readInterformList(const std::filesystem::path& file, std::vector<InterformEntry>& entries) {
    entries.clear();
    std::vector<std::string> lines;
    if (Status st = platform::readTextLines(file, lines); !st) return st;
    for (size_t i = 0; i < lines.size(); i += 2) {
        const std::string& head = lines[i];
        const std::string number = platform::cutToWidth(head, 3);
        const std::string_view rest = std::string_view(head).substr(number.size());
        InterformEntry e;
        e.number = static_cast<int64_t>(platform::numericValue(number));
        e.name = platform::fitToWidth(platform::cutToWidth(rest, 100), 150);
        if (i + 1 < lines.size()) e.formula = platform::fitToWidth(lines[i + 1], 250);
        entries.push_back(std::move(e));
    }
    return Status::ok();
}

namespace {

Status reported(const entry::ChooserContext& ctx, Status status) {
    if (!status.isOk()) ctx.ui.message(status.message());
    return status;
}

}  // namespace

Status runInterform(const entry::ChooserContext& ctx, int64_t number, InterformScope scope,
                    const entry::Choice& district, const entry::Choice& facility,
                    std::vector<InterformResult>& results, bool& found) {
    results.clear();
    found = false;
    std::optional<InterformRule> rule;
    if (Status st = readInterformRule(ctx.installation, ctx.year, number, ctx.ui, rule); !st) return st;
    if (!rule) return Status::ok();
    found = true;

    std::vector<data::Region1> districts;
    if (Status st = data::readAll(ctx.installation.region1File(), districts); !st) return st;
    std::map<int, std::string> districtNames;
    for (const auto& d : districts) districtNames.emplace(d.CODREG, std::string(platform::trimRight(d.NAME)));
    std::map<int, data::Bolnbol> facilities;
    if (scope == InterformScope::Facility || scope == InterformScope::Facilities) {
        std::vector<data::Bolnbol> all;
        if (Status st = data::readAll(ctx.installation.bolnFile(), all); !st) return st;
        for (auto& f : all) facilities.emplace(f.UNICOD, std::move(f));
    }
    auto facilityTotal = [&](int code) {
        InterformTotal t;
        t.code = code;
        auto it = facilities.find(code);
        const int districtCode = it == facilities.end() ? 0 : it->second.CODREG;
        auto d = districtNames.find(districtCode);
        const std::string prefix = d == districtNames.end() ? std::string() : d->second;
        t.name = platform::cutToWidth(prefix + " " + (it == facilities.end() ? std::string() : it->second.NAZV),
                                      kInterformNameWidth);
        return t;
    };

    // Totals keep their place while more are added.
    std::deque<InterformTotal> totals;
    std::map<int64_t, InterformTotal*> byCode;
    SubjectOf subjectOf;
    switch (scope) {
        case InterformScope::Facility:
            totals.push_back(facilityTotal(facility.code));
            subjectOf = [&](const data::Otchet& r) { return r.CODUCH == facility.code ? &totals.front() : nullptr; };
            break;
        case InterformScope::Facilities:
            subjectOf = [&](const data::Otchet& r) {
                InterformTotal*& t = byCode[r.CODUCH];
                if (!t) t = &totals.emplace_back(facilityTotal(r.CODUCH));
                return t;
            };
            break;
        case InterformScope::District:
            totals.push_back({district.code, district.name});
            subjectOf = [&](const data::Otchet& r) { return r.CODREG == district.code ? &totals.front() : nullptr; };
            break;
        case InterformScope::Districts: {
            std::vector<data::Region1> byDistrictCode = districts;
            std::stable_sort(byDistrictCode.begin(), byDistrictCode.end(),
                             [](const auto& a, const auto& b) { return a.CODREG < b.CODREG; });
            for (const auto& d : byDistrictCode) {
                if (byCode.contains(d.CODREG)) continue;
                byCode[d.CODREG] = &totals.emplace_back(InterformTotal{d.CODREG, d.NAME});
            }
            subjectOf = [&](const data::Otchet& r) {
                auto it = byCode.find(r.CODREG);
                return it == byCode.end() ? nullptr : it->second;
            };
            break;
        }
        case InterformScope::Region: {
            InterformTotal region{0, std::string(entry::kRegionDistrictName)};
            region.collectText = false;
            totals.push_back(region);
            subjectOf = [&](const data::Otchet&) { return &totals.front(); };
            break;
        }
    }
    if (Status st = sumInterform(ctx.installation, ctx.year, *rule, subjectOf); !st) return st;
    for (InterformTotal& t : totals) {
        markInterformViolation(*rule, t);
        if (t.violated) results.push_back({t.code, t.name, std::string(kInterformMark), t.sum(), t.text});
    }
    std::stable_sort(results.begin(), results.end(),
                     [](const InterformResult& a, const InterformResult& b) { return a.name < b.name; });
    return Status::ok();
}

void InterformResultsWindow::select(size_t line) {
    if (line < results_.size()) selected_ = line;
}

std::string InterformResultsWindow::selectedText() const {
    return selected_ < results_.size() ? results_[selected_].text : std::string();
}

Status InterformListWindow::open() {
    if (Status st = readInterformList(ctx_.installation.spisMFFile(), entries_); !st) return reported(ctx_, st);
    return Status::ok();
}

void InterformListWindow::select(size_t line) {
    if (line < entries_.size()) selected_ = line;
}

std::string InterformListWindow::currentFormula() const {
    return selected_ ? entries_[*selected_].formula : std::string();
}

Status InterformListWindow::control(std::optional<InterformResultsWindow>& window) {
    window.reset();
    if (!selected_) return Status::ok();
    facility_ = {};
    if (scope == InterformScope::Districts || scope == InterformScope::Region) district_ = {};
    InterformScope run = scope;
    auto chooseDistrict = [&] { return entry::chooseDistrict(ctx_, entry::DistrictMode::Plain, 30, district_); };
    if (scope == InterformScope::Facility) {
        district_ = {};
        if (Status st = chooseDistrict(); !st) return st;
        if (district_.code != 0) {
            entry::FacilityQuery query{district_.code, std::nullopt, district_.name, 50};
            if (Status st = entry::chooseFacility(ctx_, query, facility_); !st) return st;
        }
        if (facility_.code == 0) {
            // Without a facility the rule is evaluated for every facility.
            ctx_.ui.beep();
            run = InterformScope::Facilities;
        }
    } else if (scope == InterformScope::District) {
        district_ = {};
        if (Status st = chooseDistrict(); !st) return st;
        if (district_.code == 0) {
            ctx_.ui.beep();
            return Status::ok();
        }
    }
    const InterformEntry& entry = entries_[*selected_];
    std::vector<InterformResult> results;
    bool found = false;
    if (Status st = runInterform(ctx_, entry.number, run, district_, facility_, results, found); !st) {
        return reported(ctx_, st);
    }
    if (!found) {
        selected_.reset();
        return Status::ok();
    }
    window.emplace(entry, std::move(results));
    return Status::ok();
}

}  // namespace tavir::controls
