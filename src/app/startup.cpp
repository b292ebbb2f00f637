#include "app/startup.h"

#include "exchange/user_settings.h"

#include <ctime>

namespace tavir::app {

using platform::Status;

Status startUp(const data::Installation& installation, SharedState& state, platform::Interaction& ui,
               int calendarYear, StartupData& out) {
    auto fail = [&](Status st) {
        ui.message(st.message());
        return st;
    };
    if (Status st = exchange::readSettings(installation, out.settings); !st) return fail(st);
    exchange::loadSubjectCopies(out.settings, state);

    const data::YearRange range = data::findYearRange(installation.workdir());
    if (range.empty()) ui.message(data::kNoYearDirMessage);
    state.globYearS = range.first;
    state.globYearE = range.last;

    // The record is read once; the file is not kept open, so that key
    // rebuilding can take it exclusively while the main window is open.
    {
        data::RecordFile<data::NameProg> program(installation.nameProgFile());
        if (Status st = program.open(); !st) return fail(st);
        auto cursor = program.all();
        if (!cursor.next(out.program)) out.program = {};
    }

    if (state.subject().code == 0) ui.message(kConfigureMessage);
    state.globYear = data::clampWorkingYear(calendarYear, range);
    return Status::ok();
}

int currentCalendarYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

}  // namespace tavir::app
