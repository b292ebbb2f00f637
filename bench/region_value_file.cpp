#include "region_value_file.h"

#include "data/dictionary.h"
#include "data/paths.h"
#include "data/records.h"
#include "platform/keyed_file.h"

#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace tavir::bench {

namespace {

// The values of one record: about eight of the 25 non-zero, reproducible.
void fillValues(std::mt19937& rng, platform::Record& r) {
    const int data = otchet().fieldIndex("OTC:DATA");
    for (int i = 0; i < 35; ++i) r.setNum(data, 0, i);
    for (int k = 0; k < 8; ++k) r.setNum(data, static_cast<int64_t>(rng() % 100000) * 10, static_cast<int>(rng() % kValues));
}

}  // namespace

std::filesystem::path benchDir() {
    static const auto dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("tavir-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

const platform::FileDef& otchet() { return *data::findFile("otchet"); }

bool buildRegionValueFile(const std::filesystem::path& path) {
    std::filesystem::remove(path);
    if (!platform::KeyedFile::create(otchet(), path).isOk()) return false;
    platform::KeyedFile file(otchet(), path);
    if (!file.open().isOk()) return false;
    std::mt19937 rng(42);
    platform::Record r(otchet());
    platform::Transaction tx(file);
    for (int mes = 1; mes <= kMonths; ++mes) {
        for (int uch = 1; uch <= kFacilities; ++uch) {
            for (int row = 1; row <= kRows; ++row) {
                r.setNum("OTC:CODREG", uch % 28 + 1);
                r.setNum("OTC:CODUCH", uch);
                r.setNum("OTC:CODTAB", 1000 + row / 64);
                r.setNum("OTC:MES", mes);
                r.setNum("OTC:TIP", 1);
                r.setNum("OTC:UNICODSTR", row);
                fillValues(rng, r);
                if (!file.add(r).isOk()) return false;
            }
        }
    }
    return tx.commit().isOk();
}

const std::filesystem::path& regionValueFile() {
    static const auto path = [] {
        auto p = benchDir() / "F0012.dat";
        if (!buildRegionValueFile(p)) std::abort();
        return p;
    }();
    return path;
}

namespace {

template <class T>
bool writeFile(const std::filesystem::path& path, std::vector<T> records) {
    if (!platform::KeyedFile::create(data::defOf<T>(), path).isOk()) return false;
    data::RecordFile<T> file(path);
    if (!file.open().isOk()) return false;
    platform::Transaction tx(file);
    for (T& r : records) {
        if (!file.add(r).isOk()) return false;
    }
    return tx.commit().isOk();
}

bool buildInstallation(const std::filesystem::path& dir) {
    const std::filesystem::path year = dir / data::yearDirName(kBenchYear);
    std::filesystem::create_directories(year);
    std::vector<data::Forma> forms(1);
    forms[0].UNICOD = 12;
    forms[0].COD = "12";
    forms[0].NAME = "Сведения о заболеваемости";
    forms[0].TIP = 1;
    std::vector<data::Region1> districts;
    for (int d = 1; d <= 28; ++d) districts.push_back({d, "Район " + std::to_string(d)});
    std::vector<data::Viduch> kinds;
    for (int k = 1; k <= 5; ++k) kinds.push_back({k, "Вид " + std::to_string(k)});
    std::vector<data::Bolnbol> facilities;
    for (int n = 1; n <= kFacilities; ++n) {
        data::Bolnbol b;
        b.UNICOD = n;
        b.CODREG = n % 28 + 1;
        b.VID = n % 5 + 1;
        b.SEL = n % 2 + 1;
        b.NAZV = "Учреждение " + std::to_string(n);
        facilities.push_back(b);
    }
    std::vector<data::Tabl> tables;
    for (int code = 1000; code <= 1000 + kRows / 64; ++code) {
        data::Tabl t;
        t.UNICODT = code;
        t.CODFORM = 12;
        t.CODTABL = code;
        t.SM = 2;
        t.A = kValues;
        tables.push_back(t);
    }
    std::error_code ec;
    std::filesystem::create_symlink(regionValueFile(), year / data::valueFileName(12), ec);
    return !ec && writeFile(year / "Forma.dat", forms) && writeFile(year / "Tabl.dat", tables) && writeFile<data::Grafa>(year / "Grafa.dat", {}) &&
           writeFile(dir / "REGION1.dat", districts) && writeFile(dir / "VIDUCH.dat", kinds) &&
           writeFile(dir / "BOLN.dat", facilities) && writeFile<data::Wwod>(dir / "WWOD.dat", {});
}

}  // namespace

const std::filesystem::path& regionInstallation() {
    static const auto dir = [] {
        auto d = benchDir() / "installation";
        if (!buildInstallation(d)) std::abort();
        return d;
    }();
    return dir;
}

}  // namespace tavir::bench
