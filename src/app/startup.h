// The start-up of the program, before the main window is shown: the
// settings record into the subject copies, the year range, the program
// record, the reminder to configure the facility, and the working year.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "data/records.h"
#include "platform/interaction.h"
#include "platform/status.h"

#include <string_view>

namespace tavir::app {

inline constexpr std::string_view kConfigureMessage =
    "Зайдите в меню \"Сервис\" \"Настройки пользователя\" укажите свое ЛПУ";

// What start-up read for the main window.
struct StartupData {
    data::User1 settings;   // with the default folders filled in
    data::NameProg program; // the first record of NAMEPROG, or a cleared one
};

// Runs the start-up steps in their order. A settings or program file that
// does not open is shown with its path and the system's error text and
// returned: the program then ends.
platform::Status startUp(const data::Installation& installation, SharedState& state, platform::Interaction& ui,
                         int calendarYear, StartupData& out);

// The current calendar year of the local clock.
int currentCalendarYear();

}  // namespace tavir::app
