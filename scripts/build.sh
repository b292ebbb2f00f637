#!/usr/bin/env bash
# Configures (once) and builds into build/ (or $TAVIR_BUILD_DIR) with Ninja.
# Arguments name the targets to build; none builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${TAVIR_BUILD_DIR:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ $# -gt 0 ]; then
  cmake --build "$build_dir" --target "$@"
else
  cmake --build "$build_dir"
fi
