#include "entry/choosers.h"

#include "data/periods.h"
#include "data/records.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <algorithm>

namespace tavir::entry {

using platform::Align;
using platform::PickColumn;
using platform::PickRequest;
using platform::Status;

namespace {

constexpr std::string_view kPickStatus = "Enter-выбор из списка";
constexpr std::string_view kFacilityCaption = "Учреждения УЗ Тарвинской области";
constexpr std::string_view kDistrictButton = "Ввод по району";
constexpr int kFacilityOwnCodesBelow = 7000;  // codes from 7000 on are the facilities' own units

// A failure is shown to the user and handed back to the caller, which ends
// its window.
Status reported(const ChooserContext& ctx, Status status) {
    if (!status.isOk()) ctx.ui.message(status.message());
    return status;
}

// Characters 3 to 7 of BOL:S: the code of the facility a unit belongs to.
int parentCode(const std::string& s) {
    const std::string head = platform::cutToWidth(s, 7);
    return static_cast<int>(platform::numericValue(std::string_view(head).substr(platform::cutToWidth(s, 2).size())));
}

// The three filters of the facility chooser: closed or not yet open in the
// year, settlement mark 3, and for a facility installation everything but
// the facility itself and its units.
bool offered(const data::Bolnbol& f, const ChooserContext& ctx, std::optional<int> form) {
    if ((f.EYEAR > 0 && f.EYEAR < ctx.year) || ctx.year < f.SYEAR) return false;
    if (f.SEL == 3) return false;
    if (ctx.subject.type == app::kSubjectFacility) {
        const int own = ctx.subject.code;
        if (f.UNICOD < kFacilityOwnCodesBelow && f.UNICOD != own && parentCode(f.S) != own) return false;
        if (f.UNICOD >= kFacilityOwnCodesBelow && form && f.UNICOD != own + kFacilityOwnCodesBelow) return false;
    }
    return true;
}

// Facilities of one district (or of all) that pass the filters, in key order.
Status readFacilities(const ChooserContext& ctx, std::optional<int> district, std::optional<int> form,
                      std::vector<data::Bolnbol>& out) {
    data::RecordFile<data::Bolnbol> file(ctx.installation.bolnFile());
    if (Status st = file.open(); !st) return st;
    auto cursor = district ? file.equal("BOL:KEYCODREG", {*district}) : file.byKey("BOL:KEYCODREG");
    data::Bolnbol f;
    while (cursor.next(f)) {
        if (offered(f, ctx, form)) out.push_back(f);
    }
    return cursor.status();
}

}  // namespace

ChooserContext currentContext(const data::Installation& installation, platform::Interaction& ui,
                              const app::SharedState& state) {
    return ChooserContext{installation, ui, state.globYear.load(), state.subject()};
}

std::string noReferenceDataMessage(int year) {
    return "Данные в справочнике " + platform::formatNumber(year) + " отсутствуют";
}

Status chooseForm(const ChooserContext& ctx, int nameWidth, FormChoice& choice) {
    std::vector<data::Forma> forms;
    {
        data::RecordFile<data::Forma> file(ctx.installation.formaFile(ctx.year));
        if (Status st = file.open(); !st) return reported(ctx, st);
        auto cursor = file.byKey("FOR:KEYUNICOD");
        data::Forma f;
        while (cursor.next(f)) {
            if (f.VKL != 1) forms.push_back(f);
        }
        if (!cursor.status()) return reported(ctx, cursor.status());
    }
    if (forms.empty()) {
        ctx.ui.message(noReferenceDataMessage(ctx.year));
        return Status::ok();
    }
    const auto deadlines = data::readDeadlines(ctx.installation.deadlineFile(ctx.year));
    auto typeName = [](int tip) {
        auto type = data::periodTypeFromCode(tip);
        return type ? std::string(data::periodTypeName(*type)) : std::string();
    };

    PickRequest request;
    request.caption = "ФОРМЫ";
    request.name = "choose_form";
    request.heading = "Год " + platform::formatNumber(ctx.year);
    request.status = std::string(kPickStatus);
    request.columns = {{"id", 5, Align::Right, true}, {"код", 6}, {"наименование", 45}, {"", 45}};
    for (const auto& f : forms) {
        std::string period = typeName(f.TIP);
        if (auto it = deadlines.find(f.UNICOD); it != deadlines.end()) period += " " + it->second;
        request.lines.push_back({platform::formatNumber(f.UNICOD), f.COD, platform::cutToWidth(f.NAME, 120),
                                 platform::cutToWidth(period, 100)});
    }
    auto picked = ctx.ui.pick(request);
    if (!picked || *picked < 0 || *picked >= static_cast<int>(forms.size())) {
        choice.code = 0;
        choice.name.clear();
        return Status::ok();
    }
    const data::Forma& f = forms[*picked];
    choice.code = f.UNICOD;
    choice.name = platform::cutToWidth(f.NAME, static_cast<size_t>(std::max(nameWidth, 0)));
    choice.number = f.COD;
    choice.periodName = typeName(f.TIP);
    choice.periodType = f.TIP;
    return Status::ok();
}

Status chooseDistrict(const ChooserContext& ctx, DistrictMode mode, int nameWidth, Choice& choice) {
    std::vector<Choice> lines;
    {
        data::RecordFile<data::Region1> file(ctx.installation.region1File());
        if (Status st = file.open(); !st) return reported(ctx, st);
        const bool ownOnly = mode == DistrictMode::Plain && ctx.subject.type != app::kSubjectRegion;
        auto cursor = ownOnly ? file.equal("REG:KEYCODREG", {ctx.subject.district}) : file.byKey("REG:KEYCODREG");
        data::Region1 r;
        while (cursor.next(r)) lines.push_back({r.CODREG, r.NAME});
        if (!cursor.status()) return reported(ctx, cursor.status());
    }
    const size_t width = static_cast<size_t>(std::clamp(nameWidth, 0, kDistrictNameWidth));
    auto take = [&](const Choice& line) {
        choice.code = line.code;
        choice.name = platform::cutToWidth(line.name, width);
    };
    if (mode == DistrictMode::Plain) {
        if (lines.empty()) {
            ctx.ui.message(noReferenceDataMessage(ctx.year));
            return Status::ok();
        }
        if (lines.size() == 1) {
            take(lines.front());
            return Status::ok();
        }
    } else {
        lines.push_back({kRegionDistrict, std::string(kRegionDistrictName)});
        lines.push_back({kAllDistricts, std::string(kAllDistrictsName)});
    }

    PickRequest request;
    request.caption = mode == DistrictMode::Plain ? "РАЙОНЫ" : "Список";
    request.name = "choose_district";
    request.status = std::string(kPickStatus);
    request.columns = {{"id", 5, Align::Right, true}, {"наименование", 30}};
    for (const auto& line : lines) request.lines.push_back({platform::formatNumber(line.code), line.name});
    auto picked = ctx.ui.pick(request);
    if (!picked || *picked < 0 || *picked >= static_cast<int>(lines.size())) {
        choice = {};
        return Status::ok();
    }
    take(lines[*picked]);
    return Status::ok();
}

Status chooseFacility(const ChooserContext& ctx, const FacilityQuery& query, Choice& choice) {
    std::vector<data::Bolnbol> facilities;
    if (Status st = readFacilities(ctx, query.district, query.form, facilities); !st) return reported(ctx, st);
    if (facilities.empty()) return Status::ok();
    std::stable_sort(facilities.begin(), facilities.end(), [](const data::Bolnbol& a, const data::Bolnbol& b) {
        return a.VID != b.VID ? a.VID < b.VID : a.SEL < b.SEL;
    });

    PickRequest request;
    request.caption = std::string(kFacilityCaption);
    request.name = "choose_facility";
    request.heading = platform::cutToWidth(query.title, static_cast<size_t>(kDistrictNameWidth));
    request.status = std::string(kPickStatus);
    request.columns = {{"код", 5, Align::Center, true}, {"наименование", 60}};
    if (query.form && *query.form >= kDistrictFormsFrom) request.extraButton = std::string(kDistrictButton);
    for (const auto& f : facilities) {
        request.lines.push_back({platform::formatNumber(f.UNICOD), platform::cutToWidth(f.NAZV, 200)});
    }
    auto picked = ctx.ui.pick(request);
    if (picked == platform::kPickExtraButton && !request.extraButton.empty()) {
        choice.code = kDistrictFacilityBase + query.district;
        choice.name.clear();
    } else if (!picked || *picked < 0 || *picked >= static_cast<int>(facilities.size())) {
        choice = {};
    } else {
        choice.code = facilities[*picked].UNICOD;
        choice.name = platform::cutToWidth(facilities[*picked].NAZV, static_cast<size_t>(std::max(query.nameWidth, 0)));
    }
    return Status::ok();
}

Status listFacilities(const ChooserContext& ctx, std::optional<int> district, std::vector<FacilityLine>& lines) {
    std::vector<data::Bolnbol> facilities;
    if (Status st = readFacilities(ctx, district, std::nullopt, facilities); !st) return reported(ctx, st);
    for (const auto& f : facilities) lines.push_back({f.UNICOD, f.CODREG, platform::cutToWidth(f.NAZV, 150)});
    return Status::ok();
}

}  // namespace tavir::entry
