#include "data/period_entry.h"

#include "platform/number_format.h"
#include "platform/numeric_text.h"

#include <optional>

namespace tavir::data {

std::string allowedPeriods(data::PeriodType type) {
    switch (type) {
        case data::PeriodType::Annual: return {};
        case data::PeriodType::Monthly: return "Допустимо число от 1 до 13";
        case data::PeriodType::Quarterly: return "Допустимо число от 1 до 5";
        case data::PeriodType::HalfYearly: return "Допустимо число от 1 до 3";
        case data::PeriodType::Weekly: return "Допустимо число от 1";
        case data::PeriodType::Daily: return "Допустима дата в виде дд.мм.гг";
    }
    return {};
}

PeriodChoice readPeriod(data::PeriodType type, std::string_view typed) {
    const std::optional<int64_t> code =
        type == data::PeriodType::Daily ? data::parseDdMmYy(typed) : platform::parseIntegerStrict(typed);
    if (!code || !data::periodAccepted(type, *code)) return {0, "Ошибка|" + allowedPeriods(type)};
    return {*code, {}};
}

std::string periodEntryText(data::PeriodType type, int64_t code) {
    if (code <= 0) return {};
    return type == data::PeriodType::Daily ? data::formatDayNumber(code) : platform::formatNumber(code);
}

}  // namespace tavir::data
