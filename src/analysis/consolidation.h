// A consolidation: the values of many reports of one form added up row by
// row, for the whole region, one district or a chosen set of reports, with
// each value column taking the periods its consolidation kind admits.
// Computed in memory from the report list's request; nothing is stored.
#pragma once

#include "data/paths.h"
#include "platform/decimal.h"
#include "platform/interaction.h"
#include "platform/status.h"
#include "registry/analysis_request.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tavir::analysis {

inline constexpr int kConsolidatedValues = 25;
using ConsolidatedValues = std::array<platform::Decimal, kConsolidatedValues>;  // [0] is value column 1

// Consolidation kinds of a value column (GRA:VID); any other value is plain.
enum ColumnKind {
    kPlainColumn = 0,      // every period from "from" to "to"
    kYearStartColumn = 1,  // "на начало года": period 1
    kPeriodStartColumn = 2,  // "на начало периода": period "from"
    kPeriodEndColumn = 3,    // "на конец периода": period "to"
};

struct ConsolidationTable {
    int code = 0;        // TAB:CODTABL
    std::string name;    // TAB:NAME
    int sm = 0;          // descriptive columns
    std::string namel;   // first 15 characters of TAB:NAMEL: the export's template
    int a = 0;           // value columns
    int type = 0;        // TAB:TYPE
    int unicodt = 0;     // TAB:UNICODT
    std::array<int, kConsolidatedValues> kinds{};  // by value column; all plain with the switch
};

struct ConsolidatedRow {
    int unicod = 0;  // STR:UNICOD
    int table = 0;   // OTC:CODTAB of the first record seen
    ConsolidatedValues values{};
};

struct Consolidation {
    std::vector<ConsolidationTable> tables;  // by table code
    int64_t from = 0;                        // the derived period bounds
    int64_t to = 0;
    bool yearStartColumns = false;           // some column is of kind 1
    std::vector<ConsolidatedRow> rows;       // by row unique code
    int64_t recordsRead = 0;
    bool zeroCodes = false;                  // a record with facility or district code 0 was counted in

    const ConsolidationTable* table(int code) const;
    // The consolidated row of a unique code, or nullptr.
    const ConsolidatedRow* row(int unicod) const;
};

inline constexpr std::string_view kZeroCodeMessage = "Нулевой код в базе";

// Whether a column of the kind takes a record of the period.
bool admits(int kind, int64_t period, int64_t from, int64_t to);

// The derived bounds: the request's periods, or with chosen reports (and
// the switch off) from the smaller of the upper period and the chosen
// periods to the largest chosen period.
void derivedBounds(const registry::AnalysisRequest& request, int64_t& from, int64_t& to);

// Reads the form's tables and column kinds and adds up the records the
// request includes. A sum that leaves the 64-bit range of thousandths fails
// with its table, row and column; so does a file that does not open. The
// progress display, when given, may stop the run (then it fails too).
platform::Status consolidate(const data::Installation& installation, const registry::AnalysisRequest& request,
                             Consolidation& out, platform::Progress* progress = nullptr);

}  // namespace tavir::analysis
