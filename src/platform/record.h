// One record of a keyed file, in the layout of its file definition.
// Numeric elements are held as integers in the field's own units (a
// DECIMAL 9,3 in thousandths), REAL as double, texts as UTF-8 without
// trailing blanks.
#pragma once

#include "platform/layout.h"
#include "platform/status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::platform {

class Record {
public:
    explicit Record(const FileDef& def);

    const FileDef& def() const { return *def_; }

    // Integer value of a numeric element (raw units for decimals).
    int64_t num(int field, int element = 0) const { return nums_[slot_[field] + element]; }
    void setNum(int field, int64_t value, int element = 0) { nums_[slot_[field] + element] = value; }
    // The elements of an array or group field, one after another.
    const int64_t* elements(int field) const { return &nums_[slot_[field]]; }
    int64_t* elements(int field) { return &nums_[slot_[field]]; }
    double real(int field) const;
    void setReal(int field, double value);
    const std::string& text(int field) const { return texts_[slot_[field]]; }
    // Stores the text without trailing blanks, cut to the field's width in characters.
    void setText(int field, std::string_view value);

    // The same by full or short field name; an unknown name is a programming error.
    int64_t num(std::string_view name, int element = 0) const { return num(index(name), element); }
    void setNum(std::string_view name, int64_t value, int element = 0) { setNum(index(name), value, element); }
    const std::string& text(std::string_view name) const { return text(index(name)); }
    void setText(std::string_view name, std::string_view value) { setText(index(name), value); }

    // Checks that every numeric element fits its field's range.
    Status validate() const;
    // Every element zero, every text empty; the position is kept.
    void clear();

    // Record position in its file (1 for the first record added); 0 while not stored.
    int64_t position = 0;

    bool operator==(const Record& other) const;

private:
    int index(std::string_view name) const;

    const FileDef* def_;
    std::vector<int> slot_;       // field -> first element in nums_ or texts_
    std::vector<int64_t> nums_;   // numeric elements; REAL as its bit pattern
    std::vector<std::string> texts_;
};

}  // namespace tavir::platform
