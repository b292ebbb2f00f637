// The report a command names: --form, --facility and --period, and an
// optional --table, read as whole numbers.
#pragma once

#include "cli/args.h"
#include "registry/analysis_request.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::cli {

struct ReportArgs {
    int form = 0;
    int facility = 0;
    int64_t period = 0;
    std::optional<int> table;
};

// False with a message for a missing or malformed option; `tableRequired`
// makes --table one of the required ones.
bool readReportArgs(const Args& args, bool tableRequired, ReportArgs& out, std::string& error);

// A period bound of a range option (--from, --to): a period code, or a date
// dd.mm.yy for daily forms given as its day number. None when the option is
// not given; false with a message when its value is neither.
bool readPeriodBound(const Args& args, const char* option, std::optional<int64_t>& out, std::string& error);

// "310:3,720:3" as (facility, period) pairs appended to `reports`; false
// for text of another shape.
bool parseReportList(std::string_view text, std::vector<registry::ReportRef>& reports);

}  // namespace tavir::cli
