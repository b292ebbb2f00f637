#include "data/dictionary.h"

#include <gtest/gtest.h>

#include <set>

using namespace tavir::data;

// Record sizes as the installation's files define them. A mistyped field
// shows up here as a wrong size.
TEST(Dictionary, RecordSizes) {
    const std::pair<const char*, int> sizes[] = {
        {"forma", 365},   {"tabl", 283},    {"stroka", 445}, {"grafa", 234},   {"Rash", 162},
        {"ContrStr", 212}, {"ContrGr", 86}, {"ContrTab", 129}, {"otchet", 330}, {"OT2", 332},
        {"bolnbol", 169}, {"region1", 32},  {"viduch", 52},  {"WWOD", 8},       {"USER1", 1677},
        {"NameProg", 600}, {"Pokas", 26},   {"RASRES", 12},  {"RASRESN", 206}, {"import1", 320},
        {"VOV4000", 120}, {"ContrMF", 212}, {"TablP", 283},  {"GrafaP", 234},  {"otchetOld", 330},
    };
    for (auto [label, size] : sizes) {
        const FileDef* def = findFile(label);
        ASSERT_NE(def, nullptr) << label;
        EXPECT_EQ(def->recordSize(), size) << label;
    }
}

TEST(Dictionary, ExchangeRecordOffsets) {
    const FileDef& ot2 = *findFile("OT2");
    const std::pair<const char*, int> offsets[] = {{"OT2:CODFORM", 0}, {"OT2:CODREG", 2}, {"OT2:CODUCH", 3},
                                                   {"OT2:CODTAB", 7},  {"OT2:MES", 10},   {"OT2:TIP", 14},
                                                   {"OT2:UNICODSTR", 15}, {"OT2:DATA", 17}};
    for (auto [field, offset] : offsets) EXPECT_EQ(ot2.fieldOffset(ot2.fieldIndex(field)), offset) << field;
    EXPECT_EQ(ot2.fields[ot2.fieldIndex("OT2:DATA")].size(), 315);
    // The exchange record is the value record with the form code in front.
    const FileDef& otc = *findFile("otchet");
    for (size_t i = 0; i < otc.fields.size(); ++i) {
        EXPECT_EQ(ot2.fieldOffset(static_cast<int>(i) + 1), otc.fieldOffset(static_cast<int>(i)) + 2);
    }
}

TEST(Dictionary, KeysAndLookup) {
    const FileDef& otc = *findFile("OTCHET");
    const KeyDef* key = otc.key("OTC:KEYCODUCH");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->unique);
    ASSERT_EQ(key->fields.size(), 3u);
    EXPECT_EQ(otc.fields[key->fields[0]].name, "OTC:MES");
    EXPECT_EQ(otc.fields[key->fields[1]].name, "OTC:CODUCH");
    EXPECT_EQ(otc.fields[key->fields[2]].name, "OTC:UNICODSTR");
    EXPECT_FALSE(otc.key("KEYCODSTR")->unique);
    EXPECT_EQ(otc.key("OTC:NOSUCH"), nullptr);
    EXPECT_EQ(findFile("nosuch"), nullptr);

    std::set<std::string> labels;
    for (const auto& f : allFiles()) EXPECT_TRUE(labels.insert(f.label).second) << "twice: " << f.label;
}

TEST(Dictionary, DecimalRanges) {
    const FileDef& stroka = *findFile("stroka");
    // DECIMAL 2,0 holds three digits, DECIMAL 3,0 five.
    EXPECT_EQ(stroka.fields[stroka.fieldIndex("STR:CODFORM")].maxMagnitude(), 999);
    EXPECT_EQ(stroka.fields[stroka.fieldIndex("STR:CODTABL")].maxMagnitude(), 99999);
    const FileDef& otc = *findFile("otchet");
    EXPECT_EQ(otc.fields[otc.fieldIndex("OTC:DATA")].maxMagnitude(), 99999999999999999LL);
}
