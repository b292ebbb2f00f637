// The main window's model: its caption, the texts of the toolbar fields and
// the working year typed into the toolbar.
#pragma once

#include "app/commands.h"
#include "app/shared_state.h"
#include "app/startup.h"

#include <string>
#include <string_view>

namespace tavir::app {

inline constexpr std::string_view kDefaultCaption = "Мониторинг системы здравоохранения Тарвинской области";
// Section of tavir.INI that keeps the main window's position.
inline constexpr std::string_view kMainSection = "Main";

class MainWindowModel {
public:
    MainWindowModel(SharedState& state, StartupData startup) : state_(state), startup_(std::move(startup)) {}

    // NAM:PROGA without trailing blanks; the default caption while the
    // program record holds none.
    std::string caption() const;
    // The text a toolbar entry or display shows.
    std::string fieldText(ToolField field) const;

    // The year entry accepted: up to 4 digits become the working year at
    // once, without a range check. Anything else is refused (false) and the
    // entry shows the working year again.
    bool acceptYear(std::string_view text);

    SharedState& state() const { return state_; }
    const StartupData& startup() const { return startup_; }

private:
    SharedState& state_;
    StartupData startup_;
};

}  // namespace tavir::app
