#include "registry/registry_names.h"

#include "data/record_binding.h"

#include <algorithm>

namespace tavir::registry {

using platform::Status;

namespace {

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
    std::vector<data::Bolnbol> facilities;
    std::vector<data::Viduch> kinds;
    if (Status st = data::readAll(installation.bolnFile(), facilities); !st) return st;
    if (Status st = data::readAll(installation.region1File(), out.districts); !st) return st;
    if (Status st = data::readAll(installation.viduchFile(), kinds); !st) return st;
    for (auto& f : facilities) out.facilities.emplace(f.UNICOD, std::move(f));
    std::stable_sort(out.districts.begin(), out.districts.end(),
                     [](const data::Region1& a, const data::Region1& b) { return a.CODREG < b.CODREG; });
    for (const auto& d : out.districts) out.districtNames.emplace(d.CODREG, d.NAME);
    for (const auto& k : kinds) out.kindNames.emplace(k.CODVID, k.NAMEUCH);
    return Status::ok();
}

}  // namespace tavir::registry
