#include "data/period_entry.h"

#include "platform/number_format.h"
#include "platform/numeric_text.h"

#include <optional>

namespace tavir::data {

PeriodChoice readPeriod(data::PeriodType type, std::string_view typed) {
    const std::optional<int64_t> code =
        type == data::PeriodType::Daily ? data::parseDdMmYy(typed) : platform::parseIntegerStrict(typed);
    if (!code || !data::periodAccepted(type, *code)) return {0, "Ошибка"};
    return {*code, {}};
}

std::string periodEntryText(data::PeriodType type, int64_t code) {
    if (code <= 0) return {};
    return type == data::PeriodType::Daily ? data::formatDayNumber(code) : platform::formatNumber(code);
}

}  // namespace tavir::data
