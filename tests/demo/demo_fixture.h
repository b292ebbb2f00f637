// One small demo installation, built once for the tests of this folder.
#pragma once

#include "demo/demo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace tavir::demo::test {

inline constexpr int kFacilities = 90;
inline constexpr uint64_t kSeed = 7;

struct BuiltDemo {
    std::filesystem::path root;
    std::filesystem::path dir;
    platform::Status status;
    DemoSummary summary;

    BuiltDemo() {
        root = std::filesystem::temp_directory_path() / ("tavir-demo-test-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        dir = root / "a";
        DemoOptions options{dir, defaultDataDir(), kFacilities, kSeed};
        status = buildDemo(options, summary);
    }
    ~BuiltDemo() { std::filesystem::remove_all(root); }
};

inline const BuiltDemo& builtDemo() {
    static BuiltDemo demo;
    return demo;
}

}  // namespace tavir::demo::test
