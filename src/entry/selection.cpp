#include "entry/selection.h"

#include "data/periods.h"
#include "platform/number_format.h"
#include "platform/text.h"

namespace tavir::entry {

using platform::Status;

namespace {

std::string wordOf(int periodType) {
    auto type = data::periodTypeFromCode(periodType);
    return type ? std::string(data::periodWord(*type)) : std::string();
}

// The period of a form: none asked for annual forms (code 0); otherwise the
// period window, where 0 means that it was closed without a period.
int64_t askPeriod(const ChooserContext& ctx, const FormChoice& form) {
    if (form.periodType == static_cast<int>(data::PeriodType::Annual)) return 0;
    return ctx.ui.period(platform::PeriodRequest{form.periodType, 0,
                                                 "Ф" + platform::formatNumber(form.code) + " " +
                                                     std::string(platform::trimRight(form.name))});
}

bool periodMissing(int periodType, int64_t period) {
    return periodType != static_cast<int>(data::PeriodType::Annual) && period == 0;
}

void takeForm(ChosenReport& report, const FormChoice& form, int64_t period) {
    report.formCode = form.code;
    report.formName = form.name;
    report.formNumber = form.number;
    report.periodType = form.periodType;
    report.periodWord = wordOf(form.periodType);
    report.period = period;
}

}  // namespace

std::string reportCaption(const ChosenReport& report, int subjectType) {
    const std::string facility = platform::cutToWidth(report.facilityName, kFacilityNameWidth);
    if (subjectType == app::kSubjectFacility) return facility;
    std::string caption = std::string(platform::trimRight(report.districtName)) + (report.district < 100 ? " р-н" : "");
    // A district's own report ("Ввод по району") has no facility name to follow.
    if (!platform::trimRight(facility).empty()) caption += ", " + facility;
    return caption;
}

int checkWorkingYear(app::SharedState& state, platform::Interaction& ui) {
    int year = state.globYear.load();
    for (const auto& message : data::checkYearBounds(year, state.yearRange())) ui.message(message);
    state.globYear = year;
    return year;
}

Status selectReport(app::SharedState& state, const data::Installation& installation, platform::Interaction& ui,
                    std::optional<ChosenReport>& result) {
    result.reset();
    const int year = checkWorkingYear(state, ui);
    const ChooserContext ctx{installation, ui, year, state.subject()};
    const app::Subject& subject = ctx.subject;
    ChosenReport report;
    report.year = year;

    FormChoice form;
    if (Status st = chooseForm(ctx, kFormNameWidth, form); !st) return st;
    if (form.code == 0) return Status::ok();

    const int64_t period = askPeriod(ctx, form);
    if (periodMissing(form.periodType, period)) return Status::ok();
    takeForm(report, form, period);

    Choice district;
    if (subject.type == app::kSubjectRegion) {
        const bool regionLines = form.code >= kDistrictFormsFrom && form.code <= 999;
        if (Status st = chooseDistrict(ctx, regionLines ? DistrictMode::WithRegionLines : DistrictMode::Plain,
                                       kDistrictNameWidth, district);
            !st) {
            return st;
        }
        if (district.code == 0) return Status::ok();
    } else {
        district = {subject.district, platform::cutToWidth(subject.regionTitle, kDistrictNameWidth)};
    }
    report.district = district.code;
    report.districtName = district.name;

    Choice facility;
    if (subject.type == app::kSubjectFacility) {
        // With no facility left by the filters the installation's own stays.
        facility = {subject.code, platform::cutToWidth(subject.regionTitle, kFacilityNameWidth)};
        FacilityQuery query{subject.district, form.code, subject.regionTitle, kFacilityNameWidth};
        if (Status st = chooseFacility(ctx, query, facility); !st) return st;
    } else if (district.code < kRegionDistrict) {
        FacilityQuery query{district.code, form.code, district.name, kFacilityNameWidth};
        if (Status st = chooseFacility(ctx, query, facility); !st) return st;
    } else if (district.code == kRegionDistrict) {
        facility = {kRegionFacility, std::string(kRegionDistrictName)};
    } else if (district.code == kAllDistricts) {
        facility = {kAllDistrictsFacility, std::string(kAllDistrictsName)};
    }
    if (facility.code == 0) return Status::ok();
    report.facility = facility.code;
    report.facilityName = facility.name;
    result = std::move(report);
    return Status::ok();
}

ChosenReport givenReport(app::SharedState& state, platform::Interaction& ui, const GivenReport& given) {
    ChosenReport report;
    report.year = checkWorkingYear(state, ui);
    report.formCode = given.formCode;
    report.formName = given.formName;
    report.formNumber = given.formNumber;
    report.periodType = given.periodType;
    report.periodWord = given.periodType >= 0 && given.periodType <= 3 ? wordOf(given.periodType) : std::string();
    report.period = given.period;
    report.district = given.district;
    report.districtName = given.districtName;
    report.facility = given.facility;
    report.facilityName = given.facilityName;
    report.given = true;
    return report;
}

Status changeForm(const ChooserContext& ctx, ChosenReport& report, Change& change) {
    change = Change::Kept;
    FormChoice form;
    if (Status st = chooseForm(ctx, kFormNameWidth, form); !st) {
        change = Change::Ended;
        return st;
    }
    if (form.code == 0) return Status::ok();
    const int64_t period = askPeriod(ctx, form);
    if (periodMissing(form.periodType, period)) {
        change = Change::Ended;
        return Status::ok();
    }
    takeForm(report, form, period);
    change = Change::Changed;
    return Status::ok();
}

Status changeFacility(const ChooserContext& ctx, ChosenReport& report, Change& change) {
    change = Change::Ended;
    Choice district;
    if (Status st = chooseDistrict(ctx, DistrictMode::Plain, kDistrictNameWidth, district); !st) return st;
    if (district.code == 0) return Status::ok();
    Choice facility;
    FacilityQuery query{district.code, report.formCode, district.name, kFacilityNameWidth};
    if (Status st = chooseFacility(ctx, query, facility); !st) return st;
    if (facility.code == 0) return Status::ok();
    report.district = district.code;
    report.districtName = district.name;
    report.facility = facility.code;
    report.facilityName = facility.name;
    change = Change::Changed;
    return Status::ok();
}

}  // namespace tavir::entry
