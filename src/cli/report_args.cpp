#include "cli/report_args.h"

#include "data/periods.h"
#include "platform/numeric_text.h"

namespace tavir::cli {

namespace {

std::optional<int64_t> number(const Args& args, const char* option, int64_t max, std::string& error) {
    const std::string* text = args.value(option);
    if (!text) {
        error = std::string("не указан параметр ") + option;
        return std::nullopt;
    }
    const auto value = platform::parseIntegerStrict(*text);
    if (!value || *value < 0 || *value > max) {
        error = std::string("неверное значение ") + option + " " + *text;
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool readReportArgs(const Args& args, bool tableRequired, ReportArgs& out, std::string& error) {
    const auto form = number(args, "--form", 9999, error);
    if (!form) return false;
    const auto facility = number(args, "--facility", 999999999, error);
    if (!facility) return false;
    const auto period = number(args, "--period", 999999999, error);
    if (!period) return false;
    out.form = static_cast<int>(*form);
    out.facility = static_cast<int>(*facility);
    out.period = *period;
    if (tableRequired || args.has("--table")) {
        const auto table = number(args, "--table", 999999, error);
        if (!table) return false;
        out.table = static_cast<int>(*table);
    }
    return true;
}

bool readPeriodBound(const Args& args, const char* option, std::optional<int64_t>& out, std::string& error) {
    out.reset();
    const std::string* text = args.value(option);
    if (!text) return true;
    out = platform::parseIntegerStrict(*text);
    if (!out) out = data::parseDdMmYy(*text);
    if (!out || *out < 0 || *out > 999999999) {
        out.reset();
        error = std::string("неверное значение ") + option + " " + *text;
        return false;
    }
    return true;
}

bool parseReportList(std::string_view text, std::vector<registry::ReportRef>& reports) {
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const size_t colon = item.find(':');
        if (colon == std::string_view::npos) return false;
        const auto facility = platform::parseIntegerStrict(item.substr(0, colon));
        const auto period = platform::parseIntegerStrict(item.substr(colon + 1));
        if (!facility || !period) return false;
        reports.push_back({static_cast<int>(*facility), *period});
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return true;
}

}  // namespace tavir::cli
