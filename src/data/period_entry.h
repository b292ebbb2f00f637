// The logic of the period window: what it shows and what a typed text means.
// The window itself (desktop or script) only shows the word and the entry and
// asks readPeriod on "Продолжить".
#pragma once

#include "data/periods.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavir::data {

// Outcome of "Продолжить": the period code, or the message to show while the
// window stays open.
struct PeriodChoice {
    int64_t code = 0;
    std::string error;
    bool accepted() const { return error.empty(); }
};

// What the period window takes for a form of the type, for its message.
std::string allowedPeriods(data::PeriodType type);

// The typed text read for a form of the type: a number (blanks around it
// allowed) accepted by data::periodAccepted, or for daily forms a date
// dd.mm.yy turned into its day number. Anything else gives "Ошибка" and,
// on its next line, what is allowed.
PeriodChoice readPeriod(data::PeriodType type, std::string_view typed);

// The entry's text when the window opens with `code`: the date for daily
// forms, the number for the others, empty for no code (0 or less).
std::string periodEntryText(data::PeriodType type, int64_t code);

}  // namespace tavir::data
