// The exchange file's record of a report row: the value record of the form's
// value file with the form code in front, as reports travel between
// installations.
#pragma once

#include "data/records.h"

namespace tavir::data {

Ot2 exchangeRecord(int form, const Otchet& value);

}  // namespace tavir::data
