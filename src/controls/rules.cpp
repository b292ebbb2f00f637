#include "controls/rules.h"

#include "platform/numeric_text.h"
#include "platform/text.h"

namespace tavir::controls {

using platform::Status;

std::string_view violationRelation(int code) {
    switch (code) {
        case kRelEqual: return "=";
        case kRelGreater: return ">";
        case kRelGreaterEqual: return ">=";
        case kRelLess: return "<";
        case kRelLessEqual: return "<=";
        case kRelConditional: return "?";
        default: return {};
    }
}

std::string paddedRelation(int code) { return platform::padRight(violationRelation(code), 2); }

std::string_view formulaRelation(int code) { return code == kRelConditional ? "=0" : violationRelation(code); }

const RowInfo* FormRules::row(int unicod) const {
    auto it = rows.find(unicod);
    return it == rows.end() ? nullptr : &it->second;
}

std::optional<int> FormRules::findRow(int table, std::string_view code) const {
    auto it = rowByCode.find({table, std::string(platform::trimRight(code))});
    if (it == rowByCode.end()) return std::nullopt;
    return it->second;
}

bool limitedToRow(std::string_view codstr) {
    return !platform::trimRight(codstr).empty() && platform::numericValue(codstr) != 0;
}

namespace {

// The records of the file at `path` in the order of `key` from `from` on, for
// as long as `belongs` holds.
template <class T, class Pred>
Status readWhile(const std::filesystem::path& path, std::string_view key, const std::vector<int64_t>& from,
                 Pred belongs, std::vector<T>& out) {
    data::RecordFile<T> file(path);
    if (Status st = file.open(); !st) return st;
    auto cursor = file.byKey(key, from);
    T rec;
    while (cursor.next(rec) && belongs(rec)) out.push_back(rec);
    Status st = cursor.status();
    file.close();
    return st;
}

template <class T>
Status readForm(const std::filesystem::path& path, std::string_view key, int form, std::vector<T>& out) {
    return readWhile(path, key, {form}, [form](const T& r) { return r.CODFORM == form; }, out);
}

}  // namespace

Status loadFormRules(const data::Installation& inst, int year, int form, FormRules& rules) {
    rules = FormRules{};
    rules.form = form;
    if (Status st = readForm(inst.contrStrFile(year), "COS:KEYCODFORM", form, rules.rowRules); !st) return st;
    if (Status st = readForm(inst.contrTabFile(year), "COT:KEYCODFORM", form, rules.tableRules); !st) return st;
    if (Status st = readForm(inst.contrGrFile(year), "CON:CODTAB", form, rules.columnRules); !st) return st;
    std::vector<data::Stroka> rows;
    if (Status st = readForm(inst.strokaFile(year), "STR:KEYUNICOD", form, rows); !st) return st;
    for (const data::Stroka& s : rows) {
        std::string code(platform::trimRight(s.CODSTR));
        rules.rows[s.UNICOD] = RowInfo{s.CODTABL, s.NUMBER, code};
        rules.rowByCode.emplace(std::pair{s.CODTABL, code}, s.UNICOD);
    }
    return Status::ok();
}

Status loadTableColumnRules(const data::Installation& inst, int year, int form, int table,
                            std::vector<data::ContrGr>& rules) {
    rules.clear();
    return readWhile(inst.contrGrFile(year), "CON:CODTAB", {form, table},
                     [&](const data::ContrGr& r) { return r.CODFORM == form && r.CODTABL == table; }, rules);
}

}  // namespace tavir::controls
