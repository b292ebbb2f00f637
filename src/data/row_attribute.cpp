#include "data/row_attribute.h"

#include "platform/text.h"

namespace tavir::data {

std::string descriptiveCell(const Stroka& row, int kind) {
    switch (kind) {
        case 1: return std::string(platform::trimRight(row.NAME));
        case 2: return std::string(platform::trimRight(row.CODSTR));
        case 3: return std::string(platform::trimRight(row.CODMKB));
        case 4: return std::string(platform::trimRight(row.POL));
        default: return {};
    }
}

}  // namespace tavir::data
