// Record layouts of keyed files: fields with type, width and dimension, and
// keys. The storage layer builds its schema, bindings and dumps from them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavir::platform {

enum class FieldType {
    Byte,     // unsigned 8-bit
    Short,    // signed 16-bit
    Long,     // signed 32-bit
    Real,     // IEEE double
    Decimal,  // packed decimal of `width` bytes with `scale` decimals
    String,   // fixed-length text of `width` characters
    Memo,     // variable-length text of up to `width` characters
};

struct FieldDef {
    std::string name;       // full name, "STR:UNICOD"
    FieldType type;
    int width = 0;          // bytes for Decimal and String, ignored otherwise
    int scale = 0;          // decimals of a Decimal
    int dim = 1;            // number of elements (DIM k)
    // A group such as OTC:DATA: its elements are the fields OTC:DATA1 … in
    // dumps and loads, rather than one space-separated array column.
    bool group = false;

    // Short name without the prefix: "UNICOD"; the SQLite column name.
    std::string_view column() const;
    // Bytes of one element and of the whole field in the fixed-length record.
    int elementSize() const;
    int size() const { return elementSize() * dim; }
    bool isNumeric() const { return type != FieldType::String && type != FieldType::Memo; }
    bool isText() const { return !isNumeric(); }
    // Largest magnitude an integer-typed element may take (raw units for
    // decimals, that is thousandths of a DECIMAL 9,3).
    long long maxMagnitude() const;
    long long minValue() const;
};

struct KeyDef {
    std::string name;            // "OTC:KEYCODUCH"
    std::vector<int> fields;     // indexes into FileDef::fields
    bool unique = false;
};

struct FileDef {
    std::string label;           // "otchet"
    std::string prefix;          // "OTC"
    std::vector<FieldDef> fields;
    std::vector<KeyDef> keys;

    // Index of the field with the given full or short name, or -1.
    int fieldIndex(std::string_view name) const;
    const KeyDef* key(std::string_view name) const;
    int recordSize() const;
    int fieldOffset(int field) const;
    // The statements that create the file's table (named after the label)
    // and one index per key, exactly as SQLite keeps them in its schema.
    std::vector<std::string> createStatements() const;
};

}  // namespace tavir::platform
