#include "platform/layout.h"

#include "platform/text.h"

namespace tavir::platform {

namespace {

std::string sqlType(const FieldDef& f) {
    if (f.dim > 1) return "BLOB";
    switch (f.type) {
    case FieldType::Real: return "REAL";
    case FieldType::String:
    case FieldType::Memo: return "TEXT";
    default: return "INTEGER";
    }
}

}  // namespace

std::string_view FieldDef::column() const {
    std::string_view n = name;
    auto colon = n.find(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

int FieldDef::elementSize() const {
    switch (type) {
    case FieldType::Byte: return 1;
    case FieldType::Short: return 2;
    case FieldType::Long: return 4;
    case FieldType::Real: return 8;
    case FieldType::Decimal:
    case FieldType::String:
    case FieldType::Memo: return width;
    }
    return 0;
}

long long FieldDef::maxMagnitude() const {
    switch (type) {
    case FieldType::Byte: return 255;
    case FieldType::Short: return 32767;
    case FieldType::Long: return 2147483647LL;
    case FieldType::Decimal: {
        // A packed decimal of n bytes holds 2n-1 digits (at most 17 for DECIMAL 9).
        static constexpr long long nines[] = {0, 9, 999, 99999, 9999999, 999999999, 99999999999LL,
                                              9999999999999LL, 999999999999999LL, 99999999999999999LL};
        return width >= 1 && width <= 9 ? nines[width] : 0;
    }
    default: return 0;
    }
}

long long FieldDef::minValue() const {
    switch (type) {
    case FieldType::Byte: return 0;
    case FieldType::Short: return -32768;
    case FieldType::Long: return -2147483648LL;
    case FieldType::Decimal: return -maxMagnitude();
    default: return 0;
    }
}

int FileDef::fieldIndex(std::string_view name) const {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (equalsIgnoreAsciiCase(fields[i].name, name) || equalsIgnoreAsciiCase(fields[i].column(), name)) return static_cast<int>(i);
    }
    return -1;
}

const KeyDef* FileDef::key(std::string_view name) const {
    for (const auto& k : keys) {
        std::string_view shortName = std::string_view(k.name).substr(prefix.size() + 1);
        if (equalsIgnoreAsciiCase(k.name, name) || equalsIgnoreAsciiCase(shortName, name)) return &k;
    }
    return nullptr;
}

int FileDef::recordSize() const {
    int total = 0;
    for (const auto& f : fields) total += f.size();
    return total;
}

int FileDef::fieldOffset(int field) const {
    int offset = 0;
    for (int i = 0; i < field; ++i) offset += fields[i].size();
    return offset;
}

std::vector<std::string> FileDef::createStatements() const {
    auto quoted = [](std::string_view s) { return "\"" + std::string(s) + "\""; };
    std::vector<std::string> out;
    std::string table = "CREATE TABLE " + quoted(label) + " (";
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) table += ", ";
        table += quoted(fields[i].column()) + " " + sqlType(fields[i]) + " NOT NULL";
    }
    out.push_back(table + ")");
    for (const auto& k : keys) {
        std::string index = std::string(k.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                            quoted(label + "_" + k.name.substr(prefix.size() + 1)) + " ON " + quoted(label) + " (";
        for (size_t i = 0; i < k.fields.size(); ++i) {
            if (i) index += ", ";
            index += quoted(fields[k.fields[i]].column());
        }
        out.push_back(index + ")");
    }
    return out;
}

}  // namespace tavir::platform
