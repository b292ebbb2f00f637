#include "exchange/user_settings.h"

#include "entry/choosers.h"
#include "platform/text.h"

namespace tavir::exchange {

using platform::Status;

namespace {

constexpr size_t kRegionTitleWidth = 70;
constexpr size_t kFolderWidth = 200;

void applyDefaults(data::User1& record) {
    if (record.TEMP.empty()) record.TEMP = kDefaultTemp;
    if (record.OFFICE.empty()) record.OFFICE = kDefaultOffice;
}

}  // namespace

Status readSettings(const data::Installation& installation, data::User1& record) {
    record = {};
    data::RecordFile<data::User1> file(installation.user1File());
    if (Status st = file.open(); !st) return st;
    auto cursor = file.all();
    if (!cursor.next(record)) record = {};
    return Status::ok();
}

void loadSubjectCopies(data::User1& record, app::SharedState& state) {
    applyDefaults(record);
    state.setSubject({record.TIPUSER, record.CODREG, record.KODUSER, record.NAMEOBL});
}

UserSettingsModel::UserSettingsModel(const data::Installation& installation, app::SharedState& state,
                                     platform::Interaction& ui)
    : installation_(installation), state_(state), ui_(ui) {}

Status UserSettingsModel::open() {
    auto fail = [&](Status st) {
        ui_.message(st.message());
        return st;
    };
    if (Status st = readSettings(installation_, record_); !st) return fail(st);
    if (isNew()) record_.TIPUSER = app::kSubjectFacility;
    // An existing record with blank folders gets the defaults too: the
    // temporary folder is not shown, and without its final "\" the record
    // could never be saved again.
    applyDefaults(record_);
    districtName_.clear();
    facilityName_.clear();
    if (isNew() || record_.TIPUSER != app::kSubjectFacility) return Status::ok();

    {
        data::RecordFile<data::Region1> regions(installation_.region1File());
        if (Status st = regions.open(); !st) return fail(st);
        auto cursor = regions.equal("REG:KEYCODREG", {record_.CODREG});
        data::Region1 r;
        if (cursor.next(r)) districtName_ = r.NAME;
    }
    data::RecordFile<data::Bolnbol> facilities(installation_.bolnFile());
    if (Status st = facilities.open(); !st) return fail(st);
    auto cursor = facilities.equal("BOL:KEYUNICOD", {record_.KODUSER});
    data::Bolnbol f;
    if (cursor.next(f)) facilityName_ = f.NAZV;
    return Status::ok();
}

void UserSettingsModel::setType(int type) {
    if (type == record_.TIPUSER) return;
    record_.TIPUSER = type;
    record_.NAMEOBL.clear();
    record_.KODUSER = 0;
    record_.CODREG = 0;
    districtName_.clear();
    facilityName_.clear();
}

void UserSettingsModel::setRegionTitle(std::string_view title) {
    record_.NAMEOBL = platform::fitToWidth(title, kRegionTitleWidth);
}

void UserSettingsModel::setFolder1(std::string_view folder) { record_.S1 = platform::fitToWidth(folder, kFolderWidth); }

void UserSettingsModel::setFolder2(std::string_view folder) { record_.S2 = platform::fitToWidth(folder, kFolderWidth); }

Status UserSettingsModel::choose() {
    if (!chooseOffered()) return Status::ok();
    const entry::ChooserContext ctx = entry::currentContext(installation_, ui_, state_);
    entry::Choice district{record_.CODREG, districtName_};
    if (Status st = entry::chooseDistrict(ctx, entry::DistrictMode::WithRegionLines, entry::kDistrictNameWidth, district); !st) return st;
    record_.CODREG = district.code;
    districtName_ = district.name;
    // A district installation takes the district whatever it is: a cancelled
    // list leaves subject code 0 and a blank title, never the old district's.
    if (district.code == 0 && record_.TIPUSER == app::kSubjectFacility) return Status::ok();

    if (record_.TIPUSER == app::kSubjectFacility) {
        entry::Choice facility{record_.KODUSER, facilityName_};
        entry::FacilityQuery query{district.code, std::nullopt, district.name, entry::kFacilityNameWidth};
        if (Status st = entry::chooseFacility(ctx, query, facility); !st) return st;
        record_.KODUSER = facility.code;
        facilityName_ = facility.name;
        setRegionTitle(district.name + " " + facility.name);
    } else {
        record_.KODUSER = district.code;
        setRegionTitle(district.name);
    }
    return Status::ok();
}

bool UserSettingsModel::save() {
    if (!record_.TEMP.ends_with('\\')) {
        ui_.message("Проверте путь-последний знак \\");
        return false;
    }
    data::RecordFile<data::User1> file(installation_.user1File());
    Status st = file.open();
    if (st) st = isNew() ? file.add(record_) : file.update(record_);
    if (!st) {
        // The user learns that nothing was written and keeps the values typed.
        ui_.message(st.message());
        return false;
    }
    ui_.message("Записано");
    return true;
}

void UserSettingsModel::close(Closing how) {
    if (how != Closing::CloseButton) loadSubjectCopies(record_, state_);
}

}  // namespace tavir::exchange
