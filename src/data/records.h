// Record structs of the data files, members named and ordered as the
// dictionary's fields (see record_binding.h for how they bind). Files that
// share a layout share a struct: TablP/GrafaP/SapkiP use Tabl/Grafa/Sapki,
// ContrMF uses ContrStr, old-format exchange files use Otchet.
#pragma once

#include "data/record_binding.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavir::data {

struct Forma {
    static constexpr std::string_view label = "forma";
    int UNICOD = 0;
    std::string NAME;
    std::string COD;
    int TIP = 0;
    int BLOK = 0;
    std::string S;
    int VKL = 0;
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, NAME, COD, TIP, BLOK, S, VKL); }
    auto members() const { return std::tie(UNICOD, NAME, COD, TIP, BLOK, S, VKL); }
};

struct Tabl {
    static constexpr std::string_view label = "tabl";
    int UNICODT = 0;
    int CODFORM = 0;
    int CODTABL = 0;
    std::string NAME;
    std::string NAMEL;
    int SM = 0;
    int A = 0;
    int TYPE = 0;
    int64_t position = 0;
    auto members() { return std::tie(UNICODT, CODFORM, CODTABL, NAME, NAMEL, SM, A, TYPE); }
    auto members() const { return std::tie(UNICODT, CODFORM, CODTABL, NAME, NAMEL, SM, A, TYPE); }
};

struct Stroka {
    static constexpr std::string_view label = "stroka";
    int UNICOD = 0;
    int CODFORM = 0;
    int CODTABL = 0;
    int NUMBER = 0;
    std::string CODSTR;
    std::string CODMKB;
    std::string NAME;
    std::string NAMEL;
    std::string POL;
    int CODNAS = 0;
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, CODFORM, CODTABL, NUMBER, CODSTR, CODMKB, NAME, NAMEL, POL, CODNAS); }
    auto members() const { return std::tie(UNICOD, CODFORM, CODTABL, NUMBER, CODSTR, CODMKB, NAME, NAMEL, POL, CODNAS); }
};

struct Grafa {
    static constexpr std::string_view label = "grafa";
    int CODFORM = 0;
    int CODTABL = 0;
    int COD = 0;
    std::string NAME;
    std::string NAMEL;
    int TYPEGR = 0;
    std::string FORMAT;
    int L = 0;
    int VID = 0;
    int64_t position = 0;
    auto members() { return std::tie(CODFORM, CODTABL, COD, NAME, NAMEL, TYPEGR, FORMAT, L, VID); }
    auto members() const { return std::tie(CODFORM, CODTABL, COD, NAME, NAMEL, TYPEGR, FORMAT, L, VID); }
};

struct Rash {
    static constexpr std::string_view label = "Rash";
    int ID = 0;
    int CODFORM = 0;
    int CODTAB = 0;
    int TIPRASH = 0;
    int GS = 0;
    std::array<int, 50> GS1{};
    int64_t position = 0;
    auto members() { return std::tie(ID, CODFORM, CODTAB, TIPRASH, GS, GS1); }
    auto members() const { return std::tie(ID, CODFORM, CODTAB, TIPRASH, GS, GS1); }
};

struct ContrStr {
    static constexpr std::string_view label = "ContrStr";
    int64_t UNICOD = 0;
    int CODFORM = 0;
    int CODGR = 0;
    int UNICODSTR = 0;
    int SNAK = 0;
    std::array<int, 100> S1{};
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, CODFORM, CODGR, UNICODSTR, SNAK, S1); }
    auto members() const { return std::tie(UNICOD, CODFORM, CODGR, UNICODSTR, SNAK, S1); }
};

struct ContrGr {
    static constexpr std::string_view label = "ContrGr";
    int UNICOD = 0;
    int CODFORM = 0;
    int CODTABL = 0;
    std::string CODSTR;
    int UNICODSTR = 0;
    int S = 0;
    int SNAK = 0;
    std::array<int, 24> S1{};
    std::string PRIM;
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, CODFORM, CODTABL, CODSTR, UNICODSTR, S, SNAK, S1, PRIM); }
    auto members() const { return std::tie(UNICOD, CODFORM, CODTABL, CODSTR, UNICODSTR, S, SNAK, S1, PRIM); }
};

struct ContrTab {
    static constexpr std::string_view label = "ContrTab";
    int UNICOD = 0;
    int CODFORM = 0;
    int UNICODSTR = 0;
    int CODGR = 0;
    int SNAK = 0;
    std::array<int, 40> US1{};
    std::array<int, 40> CODGRS1{};
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, CODFORM, UNICODSTR, CODGR, SNAK, US1, CODGRS1); }
    auto members() const { return std::tie(UNICOD, CODFORM, UNICODSTR, CODGR, SNAK, US1, CODGRS1); }
};

struct Sapki {
    static constexpr std::string_view label = "Sapki";
    int UNICODT = 0;
    std::string SS;
    int64_t position = 0;
    auto members() { return std::tie(UNICODT, SS); }
    auto members() const { return std::tie(UNICODT, SS); }
};

struct Otchet {
    static constexpr std::string_view label = "otchet";
    int CODREG = 0;
    int CODUCH = 0;
    int CODTAB = 0;
    int MES = 0;
    int TIP = 0;
    int UNICODSTR = 0;
    std::array<Decimal, 35> DATA{};
    int64_t position = 0;
    auto members() { return std::tie(CODREG, CODUCH, CODTAB, MES, TIP, UNICODSTR, DATA); }
    auto members() const { return std::tie(CODREG, CODUCH, CODTAB, MES, TIP, UNICODSTR, DATA); }
};

struct Ot2 {
    static constexpr std::string_view label = "OT2";
    int CODFORM = 0;
    int CODREG = 0;
    int CODUCH = 0;
    int CODTAB = 0;
    int MES = 0;
    int TIP = 0;
    int UNICODSTR = 0;
    std::array<Decimal, 35> DATA{};
    int64_t position = 0;
    auto members() { return std::tie(CODFORM, CODREG, CODUCH, CODTAB, MES, TIP, UNICODSTR, DATA); }
    auto members() const { return std::tie(CODFORM, CODREG, CODUCH, CODTAB, MES, TIP, UNICODSTR, DATA); }
};

struct Bolnbol {
    static constexpr std::string_view label = "bolnbol";
    int UNICOD = 0;
    int CODREG = 0;
    int VID = 0;
    std::string NAZV;
    int SEL = 0;
    int SUBVID = 0;
    int SYEAR = 0;
    int EYEAR = 0;
    int IDOLD = 0;
    std::string S;
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, CODREG, VID, NAZV, SEL, SUBVID, SYEAR, EYEAR, IDOLD, S); }
    auto members() const { return std::tie(UNICOD, CODREG, VID, NAZV, SEL, SUBVID, SYEAR, EYEAR, IDOLD, S); }
};

struct Region1 {
    static constexpr std::string_view label = "region1";
    int CODREG = 0;
    std::string NAME;
    int64_t position = 0;
    auto members() { return std::tie(CODREG, NAME); }
    auto members() const { return std::tie(CODREG, NAME); }
};

struct Viduch {
    static constexpr std::string_view label = "viduch";
    int CODVID = 0;
    std::string NAMEUCH;
    int64_t position = 0;
    auto members() { return std::tie(CODVID, NAMEUCH); }
    auto members() const { return std::tie(CODVID, NAMEUCH); }
};

struct Wwod {
    static constexpr std::string_view label = "WWOD";
    int YEAR = 0;
    int CODUCH = 0;
    int CODFORM = 0;
    int64_t position = 0;
    auto members() { return std::tie(YEAR, CODUCH, CODFORM); }
    auto members() const { return std::tie(YEAR, CODUCH, CODFORM); }
};

struct User1 {
    static constexpr std::string_view label = "USER1";
    std::string NAMEOBL;
    std::string NAMEUSER;
    int TIPUSER = 0;
    int CODREG = 0;
    int KODUSER = 0;
    std::string TEMP;
    std::string OFFICE;
    std::string ADRES;
    std::string S1;
    std::string S2;
    std::string S3;
    std::string SS1;
    std::string SS2;
    std::string SS3;
    int64_t position = 0;
    auto members() { return std::tie(NAMEOBL, NAMEUSER, TIPUSER, CODREG, KODUSER, TEMP, OFFICE, ADRES, S1, S2, S3, SS1, SS2, SS3); }
    auto members() const { return std::tie(NAMEOBL, NAMEUSER, TIPUSER, CODREG, KODUSER, TEMP, OFFICE, ADRES, S1, S2, S3, SS1, SS2, SS3); }
};

struct NameProg {
    static constexpr std::string_view label = "NameProg";
    std::string PROGA;
    std::string MAIL;
    std::string MAILTAR;
    std::string MAIL_OLM;
    std::string A1;
    int64_t position = 0;
    auto members() { return std::tie(PROGA, MAIL, MAILTAR, MAIL_OLM, A1); }
    auto members() const { return std::tie(PROGA, MAIL, MAILTAR, MAIL_OLM, A1); }
};

struct Pokas {
    static constexpr std::string_view label = "Pokas";
    int UNICOD = 0;
    int UNICODP = 0;
    int CODFORM = 0;
    int CODTABL = 0;
    int UNICODSTR = 0;
    int CODGR = 0;
    double HISLO = 0;
    int NUM = 0;
    int SNAK = 0;
    int CODGRP = 0;
    int MES = 0;
    int64_t position = 0;
    auto members() { return std::tie(UNICOD, UNICODP, CODFORM, CODTABL, UNICODSTR, CODGR, HISLO, NUM, SNAK, CODGRP, MES); }
    auto members() const { return std::tie(UNICOD, UNICODP, CODFORM, CODTABL, UNICODSTR, CODGR, HISLO, NUM, SNAK, CODGRP, MES); }
};

struct Rasres {
    static constexpr std::string_view label = "RASRES";
    int IDQW = 0;
    int NN = 0;
    int YEAR = 0;
    int FORMA = 0;
    int UNICODSTR = 0;
    int GR = 0;
    int64_t position = 0;
    auto members() { return std::tie(IDQW, NN, YEAR, FORMA, UNICODSTR, GR); }
    auto members() const { return std::tie(IDQW, NN, YEAR, FORMA, UNICODSTR, GR); }
};

struct Rasresn {
    static constexpr std::string_view label = "RASRESN";
    int IDQW = 0;
    std::string NAME;
    int CODFORM = 0;
    int64_t position = 0;
    auto members() { return std::tie(IDQW, NAME, CODFORM); }
    auto members() const { return std::tie(IDQW, NAME, CODFORM); }
};

struct TxtFile {
    static constexpr std::string_view label = "TxtFile";
    std::string LINE;
    int64_t position = 0;
    auto members() { return std::tie(LINE); }
    auto members() const { return std::tie(LINE); }
};

}  // namespace tavir::data
