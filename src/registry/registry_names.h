// The registry files that name what the registry windows list: facilities
// (bolnbol), districts (region1) and facility kinds (viduch), read whole.
#pragma once

#include "data/paths.h"
#include "data/records.h"
#include "platform/status.h"

#include <map>
#include <string>
#include <vector>

namespace tavir::registry {

struct RegistryNames {
    std::map<int, data::Bolnbol> facilities;  // by BOL:UNICOD
    std::vector<data::Region1> districts;     // in code order
    std::map<int, std::string> districtNames;  // REG:NAME by code
    std::map<int, std::string> kindNames;      // VID:NAMEUCH by code

    const data::Bolnbol* facility(int code) const;
    const std::string* districtName(int code) const;
    const std::string* kindName(int code) const;
};

platform::Status readRegistryNames(const data::Installation& installation, RegistryNames& out);

}  // namespace tavir::registry
