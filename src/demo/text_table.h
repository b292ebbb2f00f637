// The demo's own plan files: TSV with a header line, read by column name.
#pragma once

#include "platform/status.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavir::demo {

class TextTable {
public:
    platform::Status read(const std::filesystem::path& path);
    size_t size() const { return rows_.size(); }
    // The cell of row i in the named column; empty when the column is missing.
    const std::string& text(size_t row, const std::string& column) const;
    double number(size_t row, const std::string& column) const;
    int integer(size_t row, const std::string& column) const { return static_cast<int>(number(row, column)); }
    // A cell holding numbers separated by blanks.
    std::set<int> integers(size_t row, const std::string& column) const;

private:
    std::map<std::string, size_t> columns_;
    std::vector<std::vector<std::string>> rows_;
    std::filesystem::path path_;
};

}  // namespace tavir::demo
