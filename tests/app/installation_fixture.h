// A small working directory built for one test through the keyed-file API:
// registry files at its top, year directories with their reference files.
// Removed again when the fixture ends.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "data/records.h"
#include "platform/cp1251.h"

#include <atomic>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace tavir::fixture {

class InstallationFixture {
public:
    InstallationFixture() : dir_(uniqueDir()), installation_(dir_) {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~InstallationFixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    InstallationFixture(const InstallationFixture&) = delete;
    InstallationFixture& operator=(const InstallationFixture&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    const data::Installation& installation() const { return installation_; }

    // A keyed file at `path` holding `records` in the given order.
    template <class T>
    void write(const std::filesystem::path& path, std::vector<T> records) {
        std::filesystem::create_directories(path.parent_path());
        ensure(platform::KeyedFile::create(data::defOf<T>(), path));
        data::RecordFile<T> file(path);
        ensure(file.open());
        platform::Transaction tx(file);
        for (T& r : records) ensure(file.add(r));
        ensure(tx.commit());
    }

    void yearDir(int year) { std::filesystem::create_directories(dir_ / data::yearDirName(year)); }
    void forms(int year, std::vector<data::Forma> forms) { write(dir_ / data::yearDirName(year) / "Forma.dat", std::move(forms)); }
    void regions(std::vector<data::Region1> regions) { write(dir_ / "REGION1.dat", std::move(regions)); }
    void facilities(std::vector<data::Bolnbol> facilities) { write(dir_ / "BOLN.dat", std::move(facilities)); }
    void settings(std::vector<data::User1> records) { write(dir_ / "USER1.dat", std::move(records)); }
    void program(std::vector<data::NameProg> records) { write(dir_ / "NAMEPROG.tps", std::move(records)); }
    void text(const std::string& relative, const std::vector<std::string>& lines) {
        std::filesystem::create_directories((dir_ / relative).parent_path());
        ensure(platform::writeTextLinesCp1251(dir_ / relative, lines));
    }

    // A fixture that cannot be built stops the test.
    static void ensure(const platform::Status& st) {
        if (!st) throw std::runtime_error(st.message());
    }

    static data::Bolnbol facility(int code, int district, std::string name, int vid = 1, int sel = 1) {
        data::Bolnbol f;
        f.UNICOD = code;
        f.CODREG = district;
        f.NAZV = std::move(name);
        f.VID = vid;
        f.SEL = sel;
        return f;
    }
    static data::Forma form(int code, std::string number, std::string name, int tip, int vkl = 0) {
        data::Forma f;
        f.UNICOD = code;
        f.COD = std::move(number);
        f.NAME = std::move(name);
        f.TIP = tip;
        f.VKL = vkl;
        return f;
    }

private:
    static std::filesystem::path uniqueDir() {
        static std::atomic<int> counter{0};
        return std::filesystem::temp_directory_path() /
               ("tavir-inst-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    }
    std::filesystem::path dir_;
    data::Installation installation_;
};

// Reference records of a form, as the small installations describe them.

inline data::Tabl table(int form, int code, int sm, int a) {
    data::Tabl t;
    t.UNICODT = form * 10000 + code;
    t.CODFORM = form;
    t.CODTABL = code;
    t.NAME = "Таблица " + std::to_string(code);
    t.SM = sm;
    t.A = a;
    return t;
}

// A report row named "Строка " + its code unless a name is given.
inline data::Stroka row(int form, int table, int unicod, int number, std::string code, std::string name = "") {
    data::Stroka s;
    s.CODFORM = form;
    s.CODTABL = table;
    s.UNICOD = unicod;
    s.NUMBER = number;
    s.NAME = name.empty() ? "Строка " + code : std::move(name);
    s.NAMEL = s.NAME;
    s.CODSTR = std::move(code);
    return s;
}

// A report column: its number, heading, kind (GRA:TYPEGR), picture and width.
inline data::Grafa column(int form, int table, int cod, std::string name, int kind, std::string format = "",
                          int width = 8) {
    data::Grafa g;
    g.CODFORM = form;
    g.CODTABL = table;
    g.COD = cod;
    g.NAME = std::move(name);
    g.TYPEGR = kind;
    g.FORMAT = std::move(format);
    g.L = width;
    return g;
}

inline data::ContrGr columnRule(int number, int form, int table, std::string row, int left, int relation,
                                std::initializer_list<int> terms) {
    data::ContrGr r;
    r.UNICOD = number;
    r.CODFORM = form;
    r.CODTABL = table;
    r.CODSTR = std::move(row);
    r.S = left;
    r.SNAK = relation;
    int k = 0;
    for (int t : terms) r.S1[k++] = t;
    return r;
}

}  // namespace tavir::fixture

namespace tavir::app {
inline void PrintTo(const Subject& s, std::ostream* os) {
    *os << "{type " << s.type << ", district " << s.district << ", code " << s.code << ", \"" << s.regionTitle << "\"}";
}
}  // namespace tavir::app
