#include "registry/registry_names.h"

#include "data/record_binding.h"

namespace tavir::registry {

using platform::Status;

namespace {

template <class T, class Fn>
Status readEach(const std::filesystem::path& path, std::string_view key, Fn&& fn) {
    data::RecordFile<T> file(path);
    if (Status st = file.open(); !st) return st;
    Status st;
    {
        auto cursor = file.byKey(key);
        T rec;
        while (cursor.next(rec)) fn(rec);
        st = cursor.status();
    }
    file.close();
    return st;
}

template <class Map>
const typename Map::mapped_type* lookup(const Map& map, int code) {
    auto it = map.find(code);
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

const data::Bolnbol* RegistryNames::facility(int code) const { return lookup(facilities, code); }
const std::string* RegistryNames::districtName(int code) const { return lookup(districtNames, code); }
const std::string* RegistryNames::kindName(int code) const { return lookup(kindNames, code); }

Status readRegistryNames(const data::Installation& installation, RegistryNames& out) {
    out = {};
    if (Status st = readEach<data::Bolnbol>(installation.bolnFile(), "BOL:KEYUNICOD",
                                            [&](const data::Bolnbol& f) { out.facilities.emplace(f.UNICOD, f); });
        !st) {
        return st;
    }
    if (Status st = readEach<data::Region1>(installation.region1File(), "REG:KEYCODREG",
                                            [&](const data::Region1& r) {
                                                out.districts.push_back(r);
                                                out.districtNames.emplace(r.CODREG, r.NAME);
                                            });
        !st) {
        return st;
    }
    return readEach<data::Viduch>(installation.viduchFile(), "VID:KEYCODVID",
                                  [&](const data::Viduch& v) { out.kindNames.emplace(v.CODVID, v.NAMEUCH); });
}

}  // namespace tavir::registry
