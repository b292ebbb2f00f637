#include "data/dictionary.h"

#include "platform/text.h"

#include <stdexcept>

namespace tavir::data {

namespace {

// Field builders. The prefix is added when the file is assembled.
FieldDef B(const char* n, int dim = 1) { return {n, FieldType::Byte, 1, 0, dim}; }
FieldDef SH(const char* n, int dim = 1) { return {n, FieldType::Short, 2, 0, dim}; }
FieldDef L(const char* n) { return {n, FieldType::Long, 4, 0, 1}; }
FieldDef R(const char* n) { return {n, FieldType::Real, 8, 0, 1}; }
FieldDef D(const char* n, int width, int scale = 0, int dim = 1) {
    return {n, FieldType::Decimal, width, scale, dim};
}
FieldDef S(const char* n, int width) { return {n, FieldType::String, width, 0, 1}; }
FieldDef M(const char* n, int width) { return {n, FieldType::Memo, width, 0, 1}; }
FieldDef G(const char* n, int count) {
    FieldDef f{n, FieldType::Decimal, 9, 3, count};
    f.group = true;
    return f;
}

struct K {
    const char* name;
    std::vector<const char*> fields;
    bool unique;
};

FileDef make(const char* label, const char* prefix, std::vector<FieldDef> fields,
             std::vector<K> keys = {}) {
    FileDef def;
    def.label = label;
    def.prefix = prefix;
    for (auto& f : fields) {
        f.name = std::string(prefix) + ":" + f.name;
        def.fields.push_back(std::move(f));
    }
    for (const auto& k : keys) {
        KeyDef key;
        key.name = std::string(prefix) + ":" + k.name;
        key.unique = k.unique;
        for (const char* fn : k.fields) {
            int i = def.fieldIndex(fn);
            if (i < 0) throw std::logic_error(std::string("dictionary: no field ") + fn);
            key.fields.push_back(i);
        }
        def.keys.push_back(std::move(key));
    }
    return def;
}

std::vector<FieldDef> numbered(const char* base, int count, FieldDef proto) {
    std::vector<FieldDef> out;
    for (int i = 1; i <= count; ++i) {
        FieldDef f = proto;
        f.name = std::string(base) + std::to_string(i);
        out.push_back(std::move(f));
    }
    return out;
}

template <class... V>
std::vector<FieldDef> cat(V&&... parts) {
    std::vector<FieldDef> out;
    (out.insert(out.end(), parts.begin(), parts.end()), ...);
    return out;
}

std::vector<FieldDef> formaFields() {
    return {D("UNICOD", 2), S("NAME", 250), S("COD", 10), B("TIP"), B("BLOK"), S("S", 100), B("VKL")};
}
std::vector<FieldDef> tablFields() {
    return {L("UNICODT"), D("CODFORM", 2), D("CODTABL", 3), S("NAME", 200), S("NAMEL", 70),
            D("SM", 1), D("A", 2), B("TYPE")};
}
std::vector<K> tablKeys() {
    return {{"KEYUNICODT", {"UNICODT"}, true}, {"TAB1", {"CODFORM", "CODTABL"}, true}};
}
std::vector<FieldDef> grafaFields() {
    return {D("CODFORM", 2), D("CODTABL", 3), B("COD"), S("NAME", 200), S("NAMEL", 15),
            B("TYPEGR"), S("FORMAT", 10), B("L"), B("VID")};
}
std::vector<K> grafaKeys() { return {{"GRA1", {"CODFORM", "CODTABL", "COD"}, true}}; }
std::vector<FieldDef> sapkiFields() { return {L("UNICODT"), M("SS", 1000)}; }
std::vector<K> sapkiKeys() { return {{"KEYIDTAB", {"UNICODT"}, true}}; }
std::vector<FieldDef> contrStrFields() {
    return {D("UNICOD", 6), D("CODFORM", 2), B("CODGR"), SH("UNICODSTR"), B("SNAK"), SH("S1", 100)};
}
std::vector<K> contrStrKeys() {
    return {{"KEYUNICOD", {"UNICOD"}, true}, {"KEYCODFORM", {"CODFORM", "UNICODSTR"}, false}};
}
std::vector<FieldDef> otchetFields() {
    return {B("CODREG"), L("CODUCH"), D("CODTAB", 3), L("MES"), B("TIP"), SH("UNICODSTR"), G("DATA", 35)};
}

std::vector<FileDef> build() {
    std::vector<FileDef> all;
    // Reference files of a year.
    all.push_back(make("forma", "FOR", formaFields(), {{"KEYUNICOD", {"UNICOD"}, true}}));
    all.push_back(make("tabl", "TAB", tablFields(), tablKeys()));
    all.push_back(make("stroka", "STR",
                       {SH("UNICOD"), D("CODFORM", 2), D("CODTABL", 3), B("NUMBER"), S("CODSTR", 10),
                        S("CODMKB", 100), S("NAME", 255), S("NAMEL", 70), S("POL", 1), B("CODNAS")},
                       {{"KEYUNICOD", {"CODFORM", "UNICOD"}, true},
                        {"STRNUM", {"CODFORM", "CODTABL", "NUMBER"}, true},
                        {"STR1", {"CODFORM", "CODTABL", "CODSTR"}, true}}));
    all.push_back(make("grafa", "GRA", grafaFields(), grafaKeys()));
    all.push_back(make("Rash", "RAS",
                       {L("ID"), D("CODFORM", 2), D("CODTAB", 3), B("TIPRASH"), SH("GS"), D("GS1", 3, 0, 50)},
                       {{"KEYID", {"ID"}, true}, {"KEYFORTAB", {"CODFORM", "CODTAB", "TIPRASH"}, false}}));
    all.push_back(make("ContrStr", "COS", contrStrFields(), contrStrKeys()));
    all.push_back(make("ContrGr", "CON",
                       {L("UNICOD"), D("CODFORM", 2), D("CODTABL", 3), S("CODSTR", 5), SH("UNICODSTR"),
                        B("S"), B("SNAK"), SH("S1", 24), S("PRIM", 20)},
                       {{"KEYUNICOD", {"UNICOD"}, true},
                        {"COD", {"CODFORM", "UNICODSTR"}, false},
                        {"CODTAB", {"CODFORM", "CODTABL", "UNICODSTR"}, false}}));
    all.push_back(make("ContrTab", "COT",
                       {D("UNICOD", 3), D("CODFORM", 2), SH("UNICODSTR"), B("CODGR"), B("SNAK"),
                        SH("US1", 40), B("CODGRS1", 40)},
                       {{"KEYUNICOD", {"UNICOD"}, true}, {"KEYCODFORM", {"CODFORM", "UNICODSTR"}, false}}));
    // Inter-form rules share the row-rule layout and its prefix.
    all.push_back(make("ContrMF", "COS", contrStrFields(), contrStrKeys()));
    // Declared for completeness; nothing reads or writes it. Its layout is
    // not given anywhere, so it takes the row-rule layout under its own prefix.
    all.push_back(make("ContrMg", "CMG", contrStrFields(), contrStrKeys()));
    all.push_back(make("Sapki", "SAP", sapkiFields(), sapkiKeys()));

    // Report values.
    all.push_back(make("otchet", "OTC", otchetFields(),
                       {{"KEYCODREG", {"CODREG", "UNICODSTR"}, false},
                        {"KEYCODUCH", {"MES", "CODUCH", "UNICODSTR"}, true},
                        {"KEYCODTAB", {"CODUCH", "CODTAB", "UNICODSTR"}, false},
                        {"KEYCODSTR", {"UNICODSTR", "MES"}, false}}));

    // Registry and settings.
    all.push_back(make("bolnbol", "BOL",
                       {L("UNICOD"), D("CODREG", 2), D("VID", 2), S("NAZV", 50), B("SEL"), D("SUBVID", 2),
                        SH("SYEAR"), SH("EYEAR"), L("IDOLD"), S("S", 100)},
                       {{"KEYUNICOD", {"UNICOD"}, true},
                        {"KEYCODREG", {"CODREG"}, false},
                        {"KEYVID", {"VID"}, false},
                        {"KEYSEL", {"SEL"}, false}}));
    all.push_back(make("region1", "REG", {D("CODREG", 2), S("NAME", 30)}, {{"KEYCODREG", {"CODREG"}, true}}));
    all.push_back(make("viduch", "VID", {D("CODVID", 2), S("NAMEUCH", 50)}, {{"KEYCODVID", {"CODVID"}, true}}));
    all.push_back(make("WWOD", "WWO", {SH("YEAR"), L("CODUCH"), D("CODFORM", 2)},
                       {{"KEYUF", {"YEAR", "CODUCH", "CODFORM"}, true}}));
    all.push_back(make("USER1", "USE",
                       {S("NAMEOBL", 70), S("NAMEUSER", 200), B("TIPUSER"), D("CODREG", 2), L("KODUSER"),
                        S("TEMP", 200), S("OFFICE", 250), S("ADRES", 200), S("S1", 200), S("S2", 200),
                        S("S3", 200), S("SS1", 50), S("SS2", 50), S("SS3", 50)}));
    all.push_back(make("NameProg", "NAM",
                       {S("PROGA", 250), S("MAIL", 50), S("MAILTAR", 50), S("MAIL_OLM", 50), S("A1", 200)}));

    // Analysis.
    all.push_back(make("Pokas", "POK",
                       {L("UNICOD"), SH("UNICODP"), D("CODFORM", 2), D("CODTABL", 3), SH("UNICODSTR"),
                        B("CODGR"), R("HISLO"), B("NUM"), B("SNAK"), B("CODGRP"), B("MES")},
                       {{"KEYUN", {"UNICOD"}, true},
                        {"KEYUNICODP", {"UNICODP", "NUM", "CODFORM", "UNICODSTR", "CODGR"}, false}}));
    all.push_back(make("RASRES", "RAZ",
                       {L("IDQW"), B("NN"), SH("YEAR"), D("FORMA", 2), SH("UNICODSTR"), B("GR")},
                       {{"KEYID", {"IDQW"}, false}}));
    all.push_back(make("RASRESN", "RAN", {L("IDQW"), S("NAME", 200), D("CODFORM", 2)},
                       {{"KEYID", {"IDQW"}, true}}));
    all.push_back(make("TablP", "TAB", tablFields(), tablKeys()));
    all.push_back(make("GrafaP", "GRA", grafaFields(), grafaKeys()));
    all.push_back(make("SapkiP", "SAP", sapkiFields(), sapkiKeys()));

    // dBase import layouts.
    all.push_back(make("import1", "IMP",
                       cat(std::vector<FieldDef>{S("FORMA", 10), S("NUMBSTR", 10)}, numbered("COL", 25, S("", 12)))));
    all.push_back(make("VOV4000", "VOV",
                       cat(std::vector<FieldDef>{S("FORMA", 10), S("NUMBSTR", 10), S("FIO", 40)},
                           numbered("COL", 5, S("", 12)))));
    all.push_back(make("TxtFile", "TXT", {S("LINE", 255)}));

    // Exchange files: keyless.
    all.push_back(make("OT2", "OT2", cat(std::vector<FieldDef>{D("CODFORM", 2)}, otchetFields())));
    all.push_back(make("otchetOld", "OTC", otchetFields()));
    return all;
}

}  // namespace

const std::vector<FileDef>& allFiles() {
    static const std::vector<FileDef> files = build();
    return files;
}

const FileDef* findFile(std::string_view label) {
    for (const auto& f : allFiles()) {
        if (platform::equalsIgnoreAsciiCase(f.label, label)) return &f;
    }
    return nullptr;
}

}  // namespace tavir::data
