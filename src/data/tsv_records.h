// Records of a keyed file as TSV text, and the loading of such text into a
// file: what tavir-cli load and dump use, and how the demo installation gets
// its reference data.
//
// The text is UTF-8. The first line names the columns by the full field
// names ("STR:UNICOD"); each element of a group is a column of its own
// ("OTC:DATA1" … "OTC:DATA35"); an array is one column of space-separated
// numbers; decimals are written with a point. A load may name any subset of
// the columns in any order: a field left out, an empty numeric cell and the
// missing tail of an array take zero, a left-out text is blank. Texts lose
// their trailing blanks; a text longer than its field after that is refused,
// never cut.
#pragma once

#include "platform/keyed_file.h"
#include "platform/layout.h"
#include "platform/record.h"
#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::data {

// The column names of a file's TSV in field order, groups expanded.
std::vector<std::string> tsvColumns(const platform::FileDef& def);

// One record as a TSV line without the line end: every column of
// tsvColumns, numbers without trailing zeros, arrays without their trailing
// zero elements (at least one element). A text holding a tab or a line break
// has no TSV form and is refused.
platform::Status encodeTsvLine(const platform::Record& record, std::string& line);

// Reads records of one layout from TSV lines, after the header line has told
// which columns they hold.
class TsvDecoder {
public:
    explicit TsvDecoder(const platform::FileDef& def) : def_(&def) {}

    // Refuses an unknown column and a column named twice.
    platform::Status readHeader(std::string_view line);
    // Fills `record` from one line. Refuses a line whose cell count differs
    // from the header's, a number that does not parse or lies outside its
    // field's range, a text too long for its field, and text that is not UTF-8.
    platform::Status decode(std::string_view line, platform::Record& record) const;

private:
    struct Column {
        int field;
        int element;  // the element of a group; -1 for a whole field
    };
    const platform::FileDef* def_;
    std::vector<Column> columns_;
};

struct LoadReport {
    int64_t added = 0;    // records added by the load (0 when it failed)
    int badLine = 0;      // number of the line refused (1 for the header); 0 when none was
    bool created = false; // the file did not exist before the load
};

// Appends the records of a TSV text to the keyed file at `path`, creating it
// with the layout's schema when it does not exist. The load is one
// transaction: at the first line refused (reported as "Строка N: …", a
// record whose unique key is already present included) nothing is written,
// and a file that the load created is removed again.
platform::Status loadTsv(const platform::FileDef& def, const std::filesystem::path& path, std::istream& in,
                         LoadReport& report);

// Writes the header and every record of `file` (opened here when it is not
// open yet): in position order when `key` is null, otherwise in the key's
// order from the first record whose leading key components are >= `from`
// (Backward: <=, in reverse). `from` holds up to one value per key
// component, as text, in the TSV notation of the component's field.
platform::Status dumpTsv(platform::KeyedFile& file, std::ostream& out, const platform::KeyDef* key = nullptr,
                         const std::vector<std::string>& from = {},
                         platform::Direction dir = platform::Direction::Forward);

}  // namespace tavir::data
