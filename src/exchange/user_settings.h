// The installation's settings record USER1: who the installation is (the
// whole region, a district or a facility) and its exchange folders. Start-up
// reads it into the subject copies of the shared state; the window
// "Реквизиты для выгрузки загрузки файлов" edits it.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "data/records.h"
#include "platform/interaction.h"
#include "platform/status.h"

#include <string>
#include <string_view>

namespace tavir::exchange {

inline constexpr std::string_view kDefaultTemp = "\\TEMP1\\";
inline constexpr std::string_view kDefaultOffice = "C:\\Program Files\\Microsoft Office\\OFFICE11\\";
inline constexpr std::string_view kSettingsCaption = "Реквизиты для выгрузки загрузки файлов";

// The first record of USER1, or a cleared record (position 0) when the file
// holds none. A file that does not open fails with its path and the
// system's error text.
platform::Status readSettings(const data::Installation& installation, data::User1& record);

// Blank USE:TEMP and USE:OFFICE take their defaults in `record`; the subject
// copies of `state` are then set from it.
void loadSubjectCopies(data::User1& record, app::SharedState& state);

// The settings window's state and actions; the view shows the record and the
// two names and forwards the user's actions.
class UserSettingsModel {
public:
    // How the window is closed: by "Закрыть", by a successful "Сохранить",
    // or by any other means (frame, system menu).
    enum class Closing { CloseButton, AfterSave, Other };

    UserSettingsModel(const data::Installation& installation, app::SharedState& state, platform::Interaction& ui);

    // Reads the record (a new one starts as a facility installation with the
    // default folders) and, for a facility, the district and facility names.
    // A file that does not open is reported and returned; the window then
    // does not open.
    platform::Status open();

    const data::User1& record() const { return record_; }
    bool isNew() const { return record_.position == 0; }

    int type() const { return record_.TIPUSER; }
    // Another subject type clears the subject code, the district and the
    // region title with the names shown for them.
    void setType(int type);
    // "Выбор ЛПУ" is offered for a district or facility installation.
    bool chooseOffered() const { return record_.TIPUSER != app::kSubjectRegion; }
    const std::string& districtName() const { return districtName_; }
    const std::string& facilityName() const { return facilityName_; }

    void setCode(int code) { record_.KODUSER = code; }
    void setRegionTitle(std::string_view title);
    void setFolder1(std::string_view folder);
    void setFolder2(std::string_view folder);

    // "Выбор ЛПУ": the district chooser with the region lines, then for a
    // facility installation the facility chooser of that district.
    platform::Status choose();

    // "Сохранить": true when the record was written and the window closes.
    bool save();
    // Closing the window: after a save or by the frame the subject copies
    // take the window's values; "Закрыть" leaves them alone.
    void close(Closing how);

private:
    const data::Installation& installation_;
    app::SharedState& state_;
    platform::Interaction& ui_;
    data::User1 record_;
    std::string districtName_;
    std::string facilityName_;
};

}  // namespace tavir::exchange
