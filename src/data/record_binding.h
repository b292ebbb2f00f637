// Binding of record structs to the generic records of the keyed files.
//
// A record struct names its file (`static constexpr std::string_view label`),
// lists its members in the file's field order (`auto members()` returning
// std::tie of them, const and non-const) and carries `int64_t position`.
// Members are integers for BYTE, SHORT, LONG and DECIMAL n,0, Decimal for
// DECIMAL 9,3, double for REAL, std::string for texts, std::array of those
// for arrays and groups.
#pragma once

#include "data/dictionary.h"
#include "platform/decimal.h"
#include "platform/keyed_file.h"
#include "platform/layout.h"
#include "platform/record.h"

#include <array>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

namespace tavir::data {

using platform::Cursor;
using platform::Decimal;
using platform::Direction;
using platform::KeyedFile;
using platform::Record;
using platform::Status;

namespace binding {

template <class M>
void read(const Record& r, int field, M& m) {
    if constexpr (std::is_same_v<M, std::string>) {
        m = r.text(field);
    } else if constexpr (std::is_same_v<M, double>) {
        m = r.real(field);
    } else if constexpr (std::is_same_v<M, Decimal>) {
        m = Decimal::fromMilli(r.num(field));
    } else if constexpr (std::is_integral_v<M>) {
        m = static_cast<M>(r.num(field));
    } else {
        for (size_t i = 0; i < m.size(); ++i) {
            if constexpr (std::is_same_v<typename M::value_type, Decimal>) {
                m[i] = Decimal::fromMilli(r.num(field, static_cast<int>(i)));
            } else {
                m[i] = static_cast<typename M::value_type>(r.num(field, static_cast<int>(i)));
            }
        }
    }
}

template <class M>
void write(Record& r, int field, const M& m) {
    if constexpr (std::is_same_v<M, std::string>) {
        r.setText(field, m);
    } else if constexpr (std::is_same_v<M, double>) {
        r.setReal(field, m);
    } else if constexpr (std::is_same_v<M, Decimal>) {
        r.setNum(field, m.milli());
    } else if constexpr (std::is_integral_v<M>) {
        r.setNum(field, static_cast<int64_t>(m));
    } else {
        for (size_t i = 0; i < m.size(); ++i) {
            if constexpr (std::is_same_v<typename M::value_type, Decimal>) {
                r.setNum(field, m[i].milli(), static_cast<int>(i));
            } else {
                r.setNum(field, static_cast<int64_t>(m[i]), static_cast<int>(i));
            }
        }
    }
}

// Whether a member type can hold the field (used by the dictionary test).
template <class M>
bool fits(const FieldDef& f) {
    if constexpr (std::is_same_v<M, std::string>) {
        return f.isText() && f.dim == 1;
    } else if constexpr (std::is_same_v<M, double>) {
        return f.type == FieldType::Real && f.dim == 1;
    } else if constexpr (std::is_same_v<M, Decimal>) {
        return f.type == FieldType::Decimal && f.scale == 3 && f.dim == 1;
    } else if constexpr (std::is_integral_v<M>) {
        return f.dim == 1 && f.isNumeric() && f.type != FieldType::Real && f.scale == 0 &&
               f.maxMagnitude() <= static_cast<long long>(std::numeric_limits<M>::max());
    } else {
        using E = typename M::value_type;
        FieldDef one = f;
        one.dim = 1;
        one.group = false;
        return f.dim == static_cast<int>(std::tuple_size_v<M>) && fits<E>(one);
    }
}

}  // namespace binding

template <class T>
const FileDef& defOf() {
    static const FileDef& def = *findFile(T::label);
    return def;
}

template <class T>
void fromRecord(const Record& r, T& out) {
    int i = 0;
    std::apply([&](auto&... m) { (binding::read(r, i++, m), ...); }, out.members());
    out.position = r.position;
}

template <class T>
void toRecord(const T& in, Record& r) {
    int i = 0;
    std::apply([&](const auto&... m) { (binding::write(r, i++, m), ...); }, in.members());
    r.position = in.position;
}

// Whether every member of T matches its field in count and kind.
template <class T>
bool bindingMatches() {
    const FileDef& def = defOf<T>();
    T probe{};
    constexpr size_t count = std::tuple_size_v<decltype(probe.members())>;
    if (count != def.fields.size()) return false;
    int i = 0;
    bool ok = true;
    std::apply([&](const auto&... m) { ((ok = ok && binding::fits<std::decay_t<decltype(m)>>(def.fields[i++])), ...); },
               std::as_const(probe).members());
    return ok;
}

template <class T>
class TypedCursor {
public:
    TypedCursor(Cursor cursor, const FileDef& def) : cursor_(std::move(cursor)), record_(def) {}
    bool next(T& out) {
        if (!cursor_.next(record_)) return false;
        fromRecord(record_, out);
        return true;
    }
    const Status& status() const { return cursor_.status(); }

private:
    Cursor cursor_;
    Record record_;
};

// A keyed file read and written through its record struct. A file that
// shares the struct's layout under another label (TablP, ContrMF, …) names
// its label.
template <class T>
class RecordFile : public KeyedFile {
public:
    explicit RecordFile(std::filesystem::path path, std::string_view label = T::label)
        : KeyedFile(*findFile(label), std::move(path)), scratch_(def()) {}

    Status add(T& rec) {
        toRecord(rec, scratch_);
        Status st = KeyedFile::add(scratch_);
        rec.position = scratch_.position;
        return st;
    }
    Status update(const T& rec) {
        toRecord(rec, scratch_);
        return KeyedFile::update(scratch_);
    }
    Status get(int64_t position, T& rec) {
        Status st = KeyedFile::get(position, scratch_);
        if (st.isOk()) fromRecord(scratch_, rec);
        return st;
    }
    using KeyedFile::add;
    using KeyedFile::get;
    using KeyedFile::update;

    TypedCursor<T> all(Direction dir = Direction::Forward) { return TypedCursor<T>(byPosition(0, dir), def()); }
    // In the order of the named key from a start value (see KeyedFile::byKey).
    TypedCursor<T> byKey(std::string_view key, const std::vector<int64_t>& from = {},
                         Direction dir = Direction::Forward) {
        return TypedCursor<T>(KeyedFile::byKey(keyDef(key), from, dir), def());
    }
    TypedCursor<T> equal(std::string_view key, const std::vector<int64_t>& values) {
        return TypedCursor<T>(KeyedFile::equal(keyDef(key), values), def());
    }

    // Calls `fn` with every record whose leading components of `key` equal
    // `values`, in key order; opens the file for the read and closes it.
    template <class Fn>
    Status forEachEqual(std::string_view key, const std::vector<int64_t>& values, Fn&& fn) {
        if (Status st = open(); !st) return st;
        Status st;
        {
            auto cursor = equal(key, values);
            T rec;
            while (cursor.next(rec)) fn(rec);
            st = cursor.status();
        }
        close();
        return st;
    }

private:
    const KeyDef& keyDef(std::string_view key) const {
        const KeyDef* k = def().key(key);
        if (!k) throw std::logic_error("no key " + std::string(key) + " in " + def().label);
        return *k;
    }
    Record scratch_;
};

// Every record of a file in position order, replacing `out`; opens the file
// for the read and closes it. A file that shares T's layout names its label.
template <class T>
Status readAll(const std::filesystem::path& path, std::vector<T>& out, std::string_view label = T::label) {
    out.clear();
    RecordFile<T> file(path, label);
    if (Status st = file.open(); !st) return st;
    Status st;
    {
        auto cursor = file.all();
        T rec;
        while (cursor.next(rec)) out.push_back(std::move(rec));
        st = cursor.status();
    }
    file.close();
    if (!st) out.clear();
    return st;
}

}  // namespace tavir::data
