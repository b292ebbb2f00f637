#include "demo/text_table.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace tavir::demo {

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> cells;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

const std::string kEmpty;

}  // namespace

platform::Status TextTable::read(const std::filesystem::path& path) {
    path_ = path;
    std::ifstream in(path);
    if (!in) return platform::Status::fail(platform::ErrorKind::NotFound, "Нет файла " + path.string());
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> cells = splitTabs(line);
        if (header) {
            for (size_t i = 0; i < cells.size(); ++i) columns_[cells[i]] = i;
            header = false;
        } else {
            rows_.push_back(std::move(cells));
        }
    }
    return platform::Status::ok();
}

const std::string& TextTable::text(size_t row, const std::string& column) const {
    auto it = columns_.find(column);
    if (it == columns_.end() || it->second >= rows_[row].size()) return kEmpty;
    return rows_[row][it->second];
}

double TextTable::number(size_t row, const std::string& column) const {
    const std::string& t = text(row, column);
    double v = 0;
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

std::set<int> TextTable::integers(size_t row, const std::string& column) const {
    std::set<int> out;
    std::istringstream in(text(row, column));
    int v = 0;
    while (in >> v) out.insert(v);
    return out;
}

}  // namespace tavir::demo
