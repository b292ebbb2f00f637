#!/usr/bin/env bash
# Sets up a fresh machine, builds and runs the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
build_dir=${TAVIR_BUILD_DIR:-build}
exec "$build_dir/tavir-cli" --help
