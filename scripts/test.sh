#!/usr/bin/env bash
# Sets up a fresh machine, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
build_dir=${TAVIR_BUILD_DIR:-build}
cd "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
