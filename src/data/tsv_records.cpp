#include "data/tsv_records.h"

#include "platform/decimal.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <optional>
#include <ostream>
#include <system_error>

namespace tavir::data {

namespace fs = std::filesystem;
using platform::Cursor;
using platform::Decimal;
using platform::Direction;
using platform::ErrorKind;
using platform::FieldDef;
using platform::FieldType;
using platform::FileDef;
using platform::KeyDef;
using platform::KeyedFile;
using platform::Record;
using platform::Status;

namespace {

Status invalid(std::string message) { return Status::fail(ErrorKind::Invalid, std::move(message)); }

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> cells;
    size_t start = 0;
    while (true) {
        size_t end = line.find(separator, start);
        cells.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return cells;
        start = end + 1;
    }
}

std::string_view trimBlanks(std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    return begin == std::string_view::npos ? std::string_view() : platform::trimRight(text.substr(begin));
}

int64_t powerOfTen(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Raw units of a decimal field (10^-scale) per thousandth, the unit of the
// shared decimal reader. Fields carry at most three decimals.
int64_t milliPerUnit(const FieldDef& f) { return powerOfTen(3 - f.scale); }

std::string formatElement(const FieldDef& f, int64_t raw) {
    if (f.scale == 0) return platform::formatNumber(raw);
    return platform::formatNumber(Decimal::fromMilli(raw * milliPerUnit(f)));
}

// Digits with an optional sign and, if `point`, at most one point: a number
// the readers refused only because it does not fit.
bool looksLikeNumber(std::string_view text, bool point) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && point) {
            point = false;
        } else {
            return false;
        }
    }
    return digit;
}

// A REAL in the shortest plain form that reads back to the same double, so
// that loading a dump reproduces the file exactly.
std::string realText(double value) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return ec == std::errc() ? std::string(buf, end) : platform::formatNumber(value);
}

// A REAL written with a point, without exponent; the strict readers of
// numeric_text cover integers and decimals only.
std::optional<double> parseReal(std::string_view text) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// One numeric element from its text; an empty text is zero. `name` is the
// field's name in messages (a group element's column name).
Status parseElement(const FieldDef& f, std::string_view name, std::string_view cell, int64_t& raw) {
    const std::string_view text = trimBlanks(cell);
    raw = 0;
    if (text.empty()) return Status::ok();
    std::optional<int64_t> value;
    if (f.scale == 0) {
        value = platform::parseIntegerStrict(text);
    } else if (auto d = platform::parseDecimalStrict(text)) {
        if (d->milli() % milliPerUnit(f) != 0) {
            return invalid("в поле " + std::string(name) + " не больше " + std::to_string(f.scale) +
                           " знаков после точки: " + std::string(text));
        }
        value = d->milli() / milliPerUnit(f);
    }
    auto outOfRange = [&] {
        return invalid("число " + std::string(text) + " вне пределов поля " + std::string(name) + " (от " +
                       formatElement(f, f.minValue()) + " до " + formatElement(f, f.maxMagnitude()) + ")");
    };
    if (!value) {
        if (looksLikeNumber(text, f.scale > 0)) return outOfRange();
        return invalid("неверное число \"" + std::string(text) + "\" в поле " + std::string(name));
    }
    if (*value < f.minValue() || *value > f.maxMagnitude()) return outOfRange();
    raw = *value;
    return Status::ok();
}

// The unique key whose values the record repeats, for the message of a refused add.
const KeyDef* collidingKey(KeyedFile& file, const Record& record) {
    const FileDef& def = file.def();
    Record other(def);
    for (const KeyDef& key : def.keys) {
        if (!key.unique) continue;
        std::vector<std::string> values;
        for (int f : key.fields) {
            values.push_back(def.fields[f].isText() ? record.text(f) : std::to_string(record.num(f)));
        }
        Cursor cursor = file.byKeyText(key, values);
        if (!cursor.next(other)) continue;
        bool same = true;
        for (int f : key.fields) {
            same = same && (def.fields[f].isText() ? other.text(f) == record.text(f) : other.num(f) == record.num(f));
        }
        if (same) return &key;
    }
    return nullptr;
}

Status atLine(int line, const Status& st) {
    return Status::fail(st.kind(), "Строка " + std::to_string(line) + ": " + st.message());
}

// Reads a line without its line end; a CR before the LF is dropped, as
// files edited on Windows carry one.
bool readLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Adds the data lines of `in` to the existing file in one transaction.
Status addLines(const FileDef& def, const fs::path& path, const TsvDecoder& decoder, std::istream& in,
                LoadReport& report) {
    KeyedFile file(def, path);
    if (Status st = file.open(); !st) return st;
    platform::Transaction tx(file);
    if (!tx.status()) return tx.status();
    Record record(def);
    std::string line;
    int64_t added = 0;
    for (int number = 2; readLine(in, line); ++number) {
        record.clear();
        Status st = decoder.decode(line, record);
        if (st) st = file.add(record);
        if (!st && st.kind() == ErrorKind::Duplicate) {
            if (const KeyDef* key = collidingKey(file, record)) {
                st = Status::fail(ErrorKind::Duplicate, "запись с таким ключом " + key->name + " уже есть");
            }
        }
        if (!st) {
            report.badLine = number;
            return atLine(number, st);
        }
        ++added;
    }
    if (in.bad()) return Status::fail(ErrorKind::Io, "Ошибка чтения загружаемых данных");
    if (Status st = tx.commit(); !st) return st;
    report.added = added;
    return Status::ok();
}

}  // namespace

std::vector<std::string> tsvColumns(const FileDef& def) {
    std::vector<std::string> columns;
    for (const FieldDef& f : def.fields) {
        if (!f.group) {
            columns.push_back(f.name);
            continue;
        }
        for (int e = 1; e <= f.dim; ++e) columns.push_back(f.name + std::to_string(e));
    }
    return columns;
}

Status encodeTsvLine(const Record& record, std::string& line) {
    const FileDef& def = record.def();
    line.clear();
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& f = def.fields[i];
        const int fi = static_cast<int>(i);
        if (i) line += '\t';
        if (f.isText()) {
            const std::string& t = record.text(fi);
            if (t.find_first_of("\t\n\r") != std::string::npos) {
                return invalid("текст поля " + f.name + " содержит табуляцию или перевод строки");
            }
            line += t;
        } else if (f.type == FieldType::Real) {
            line += realText(record.real(fi));
        } else if (f.group) {
            for (int e = 0; e < f.dim; ++e) line += (e ? "\t" : "") + formatElement(f, record.num(fi, e));
        } else {
            int last = f.dim - 1;
            while (last > 0 && record.num(fi, last) == 0) --last;
            for (int e = 0; e <= last; ++e) line += (e ? " " : "") + formatElement(f, record.num(fi, e));
        }
    }
    return Status::ok();
}

Status TsvDecoder::readHeader(std::string_view line) {
    columns_.clear();
    if (!platform::isValidUtf8(line)) return invalid("текст не в кодировке UTF-8");
    if (trimBlanks(line).empty()) return invalid("нет заголовка с именами полей");
    for (std::string_view cell : split(line, '\t')) {
        const std::string_view name = trimBlanks(cell);
        std::optional<Column> found;
        for (size_t i = 0; i < def_->fields.size() && !found; ++i) {
            const FieldDef& f = def_->fields[i];
            if (!f.group) {
                if (platform::equalsIgnoreAsciiCase(f.name, name)) found = Column{static_cast<int>(i), -1};
                continue;
            }
            if (name.size() <= f.name.size() || !platform::equalsIgnoreAsciiCase(name.substr(0, f.name.size()), f.name)) {
                continue;
            }
            // The element number as the dump writes it: no sign, no leading zero.
            const std::string_view number = name.substr(f.name.size());
            if (number.front() == '0' || number.size() > 3 ||
                number.find_first_not_of("0123456789") != std::string_view::npos) {
                continue;
            }
            const int element = std::stoi(std::string(number));
            if (element <= f.dim) found = Column{static_cast<int>(i), element - 1};
        }
        if (!found) return invalid("неизвестное поле " + std::string(name));
        for (const Column& c : columns_) {
            if (c.field == found->field && c.element == found->element) {
                return invalid("поле " + std::string(name) + " указано дважды");
            }
        }
        columns_.push_back(*found);
    }
    return Status::ok();
}

Status TsvDecoder::decode(std::string_view line, Record& record) const {
    if (!platform::isValidUtf8(line)) return invalid("текст не в кодировке UTF-8");
    const std::vector<std::string_view> cells = split(line, '\t');
    if (cells.size() != columns_.size()) {
        return invalid("значений: " + std::to_string(cells.size()) + ", полей в заголовке: " +
                       std::to_string(columns_.size()));
    }
    for (size_t c = 0; c < cells.size(); ++c) {
        const Column& col = columns_[c];
        const FieldDef& f = def_->fields[col.field];
        const std::string_view cell = cells[c];
        if (f.isText()) {
            const std::string_view text = platform::trimRight(cell);
            if (platform::charCount(text) > static_cast<size_t>(f.width)) {
                return invalid("текст длиннее поля " + f.name + " (" + std::to_string(f.width) + ")");
            }
            record.setText(col.field, text);
        } else if (f.type == FieldType::Real) {
            const std::string_view text = trimBlanks(cell);
            std::optional<double> value = text.empty() ? 0.0 : parseReal(text);
            if (!value) return invalid("неверное число \"" + std::string(text) + "\" в поле " + f.name);
            record.setReal(col.field, *value);
        } else if (col.element >= 0) {
            int64_t raw = 0;
            if (Status st = parseElement(f, f.name + std::to_string(col.element + 1), cell, raw); !st) return st;
            record.setNum(col.field, raw, col.element);
        } else {
            int element = 0;
            for (std::string_view item : split(trimBlanks(cell), ' ')) {
                if (item.empty()) continue;
                if (element == f.dim) {
                    return invalid("в поле " + f.name + " больше " + std::to_string(f.dim) + " чисел");
                }
                int64_t raw = 0;
                if (Status st = parseElement(f, f.name, item, raw); !st) return st;
                record.setNum(col.field, raw, element++);
            }
        }
    }
    return Status::ok();
}

Status loadTsv(const FileDef& def, const fs::path& path, std::istream& in, LoadReport& report) {
    report = LoadReport{};
    std::string header;
    if (!readLine(in, header)) header.clear();
    // A byte-order mark, as Windows editors write at the start of UTF-8 text.
    if (header.starts_with("\xEF\xBB\xBF")) header.erase(0, 3);
    TsvDecoder decoder(def);
    if (Status st = decoder.readHeader(header); !st) {
        report.badLine = 1;
        return atLine(1, st);
    }
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) {
        if (Status st = KeyedFile::create(def, path); !st) return st;
        report.created = true;
    }
    Status result = addLines(def, path, decoder, in, report);
    if (!result && report.created) {
        // Nothing of the load is kept, so neither is the file it made.
        fs::remove(path, ec);
    }
    return result;
}

Status dumpTsv(KeyedFile& file, std::ostream& out, const KeyDef* key, const std::vector<std::string>& from,
               Direction dir) {
    const FileDef& def = file.def();
    std::vector<std::string> start;
    if (key) {
        if (from.size() > key->fields.size()) {
            return invalid("У ключа " + key->name + " полей: " + std::to_string(key->fields.size()) +
                           ", начальных значений: " + std::to_string(from.size()));
        }
        for (size_t i = 0; i < from.size(); ++i) {
            const FieldDef& f = def.fields[key->fields[i]];
            if (f.isText()) {
                start.emplace_back(platform::trimRight(from[i]));
                continue;
            }
            int64_t raw = 0;
            if (Status st = parseElement(f, f.name, from[i], raw); !st) {
                return invalid("Начальное значение ключа " + key->name + ": " + st.message());
            }
            start.push_back(std::to_string(raw));
        }
    }
    if (Status st = file.open(); !st) return st;
    struct Closer {
        KeyedFile& file;
        ~Closer() { file.close(); }
    } closer{file};

    Cursor cursor = key ? file.byKeyText(*key, start, dir) : file.byPosition(0, dir);
    const std::vector<std::string> columns = tsvColumns(def);
    for (size_t i = 0; i < columns.size(); ++i) out << (i ? "\t" : "") << columns[i];
    out << '\n';
    Record record(def);
    std::string line;
    while (cursor.next(record)) {
        if (Status st = encodeTsvLine(record, line); !st) {
            return Status::fail(st.kind(), "Файл " + file.path().string() + ", запись " +
                                               std::to_string(record.position) + ": " + st.message());
        }
        out << line << '\n';
    }
    if (!cursor.status()) return cursor.status();
    out.flush();
    if (!out) return Status::fail(ErrorKind::Io, "Ошибка записи выгрузки файла " + file.path().string());
    return Status::ok();
}

}  // namespace tavir::data
