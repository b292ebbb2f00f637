// The demo installation: a complete working directory of a fictional region
// with two reporting years, for trying the program and for its tests.
#pragma once

#include "demo/generate.h"
#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavir::demo {

struct DemoOptions {
    std::filesystem::path dir;      // the working directory to write; must not exist or be empty
    std::filesystem::path dataDir;  // the reference TSVs and plans (data/demo of the sources)
    int facilities = 0;             // number of facilities; 0: as many as the reference lists
    uint64_t seed = 1;
};

struct DemoSummary {
    int facilities = 0;
    int64_t valueRecords = 0;
    std::vector<Violation> violations;
    std::vector<RegistryCase> registryCases;
    std::vector<std::string> importFiles;
};

// data/demo of the source tree this program was built from.
std::filesystem::path defaultDataDir();

platform::Status buildDemo(const DemoOptions& options, DemoSummary& summary);

}  // namespace tavir::demo
