#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# but only those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  # Qt's own dialogs (printer, files) in Russian
  qt6-translations-l10n
  libsqlite3-dev libzip-dev libpugixml-dev libshp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  poppler-utils xvfb xauth
  # a spreadsheet program: work copies open in it, and a test converts one
  libreoffice-calc-nogui
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Нужны права root или sudo для установки: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi

echo "Устанавливаются пакеты: ${missing[*]}" >&2
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
