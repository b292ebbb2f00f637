#!/usr/bin/env bash
# Sets up a fresh machine, builds, creates the demo installation in demo/
# on first use and starts the desktop program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
build_dir=${TAVIR_BUILD_DIR:-build}
demo_dir=${TAVIR_DEMO_DIR:-demo}
if [ ! -f "$demo_dir/BOLN.dat" ]; then
  "$build_dir/tavir-cli" demo "$demo_dir"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "Нет графического дисплея: программе нужен экран." >&2
  echo "Запустите ее в виртуальном дисплее: xvfb-run -a $0" >&2
  echo "или пользуйтесь пакетной программой: $build_dir/tavir-cli --workdir $demo_dir --help" >&2
  exit 2
fi
exec "$build_dir/src/ui/tavir" --workdir "$demo_dir"
