// What a descriptive report column shows of a report row: the column's kind
// GRA:TYPEGR names one attribute of the stroka record. Entry, printing and
// the spreadsheet exports all fill descriptive cells this way.
#pragma once

#include "data/records.h"

#include <string>

namespace tavir::data {

// Kind 1 the row name, 2 the row code, 3 the diagnosis codes, 4 the sex
// mark, each without trailing blanks; any other kind shows nothing.
std::string descriptiveCell(const Stroka& row, int kind);

}  // namespace tavir::data
