// The records of every data file of the installation. This one declaration
// drives the SQLite schema of the keyed files, the binding to the record
// structs and the TSV dumps.
#pragma once

#include "platform/layout.h"

#include <string_view>
#include <vector>

namespace tavir::data {

using platform::FieldDef;
using platform::FieldType;
using platform::FileDef;
using platform::KeyDef;

// Every file of the dictionary.
const std::vector<FileDef>& allFiles();
// The file with the given label (case-insensitive), or nullptr.
const FileDef* findFile(std::string_view label);

// Labels of the files as used throughout the program.
namespace label {
inline constexpr std::string_view forma = "forma";
inline constexpr std::string_view tabl = "tabl";
inline constexpr std::string_view stroka = "stroka";
inline constexpr std::string_view grafa = "grafa";
inline constexpr std::string_view rash = "Rash";
inline constexpr std::string_view contrStr = "ContrStr";
inline constexpr std::string_view contrGr = "ContrGr";
inline constexpr std::string_view contrTab = "ContrTab";
inline constexpr std::string_view contrMF = "ContrMF";
inline constexpr std::string_view contrMg = "ContrMg";
inline constexpr std::string_view sapki = "Sapki";
inline constexpr std::string_view otchet = "otchet";
inline constexpr std::string_view otchetOld = "otchetOld";
inline constexpr std::string_view ot2 = "OT2";
inline constexpr std::string_view bolnbol = "bolnbol";
inline constexpr std::string_view region1 = "region1";
inline constexpr std::string_view viduch = "viduch";
inline constexpr std::string_view wwod = "WWOD";
inline constexpr std::string_view user1 = "USER1";
inline constexpr std::string_view nameProg = "NameProg";
inline constexpr std::string_view pokas = "Pokas";
inline constexpr std::string_view rasres = "RASRES";
inline constexpr std::string_view rasresn = "RASRESN";
inline constexpr std::string_view tablP = "TablP";
inline constexpr std::string_view grafaP = "GrafaP";
inline constexpr std::string_view sapkiP = "SapkiP";
inline constexpr std::string_view import1 = "import1";
inline constexpr std::string_view vov4000 = "VOV4000";
inline constexpr std::string_view txtFile = "TxtFile";
}  // namespace label

}  // namespace tavir::data
