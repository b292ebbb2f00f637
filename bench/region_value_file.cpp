#include "region_value_file.h"

#include "data/dictionary.h"
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

}  // namespace tavir::bench
