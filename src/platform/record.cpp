#include "platform/record.h"

#include "platform/text.h"

#include <bit>
#include <stdexcept>

namespace tavir::platform {

Record::Record(const FileDef& def) : def_(&def) {
    slot_.reserve(def.fields.size());
    for (const auto& f : def.fields) {
        if (f.isText()) {
            slot_.push_back(static_cast<int>(texts_.size()));
            texts_.emplace_back();
        } else {
            slot_.push_back(static_cast<int>(nums_.size()));
            nums_.resize(nums_.size() + f.dim, 0);
        }
    }
}

double Record::real(int field) const { return std::bit_cast<double>(nums_[slot_[field]]); }

void Record::setReal(int field, double value) { nums_[slot_[field]] = std::bit_cast<int64_t>(value); }

void Record::setText(int field, std::string_view value) {
    texts_[slot_[field]] = fitToWidth(value, def_->fields[field].width);
}

Status Record::validate() const {
    for (size_t i = 0; i < def_->fields.size(); ++i) {
        const auto& f = def_->fields[i];
        if (f.isText() || f.type == FieldType::Real) continue;
        for (int e = 0; e < f.dim; ++e) {
            int64_t v = nums_[slot_[i] + e];
            if (v < f.minValue() || v > f.maxMagnitude()) {
                return Status::fail(ErrorKind::Invalid,
                                    "Значение " + std::to_string(v) + " не помещается в поле " + f.name);
            }
        }
    }
    return Status::ok();
}

void Record::clear() {
    std::fill(nums_.begin(), nums_.end(), 0);
    for (auto& t : texts_) t.clear();
}

bool Record::operator==(const Record& other) const {
    return def_ == other.def_ && nums_ == other.nums_ && texts_ == other.texts_;
}

int Record::index(std::string_view name) const {
    int i = def_->fieldIndex(name);
    if (i < 0) throw std::logic_error("no field " + std::string(name) + " in " + def_->label);
    return i;
}

}  // namespace tavir::platform
