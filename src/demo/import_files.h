// The files of the import folder: reports that have not reached the value
// files yet, in every form the program can load them from.
#pragma once

#include "demo/generate.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavir::demo {

// Writes the withheld reports to `importDir` and returns the names written.
platform::Status writeImportFiles(const std::filesystem::path& importDir, const Reference& reference,
                                  const std::vector<std::pair<Delivery, Report>>& withheld, std::vector<std::string>& names);

}  // namespace tavir::demo
