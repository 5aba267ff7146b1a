#!/usr/bin/env bash
# Installs what building and testing need, when it is missing. Usage: ensure-deps.sh [extra packages...]
set -euo pipefail

# dpkg-dev: dpkg-shlibdeps names the Qt libraries the Debian package depends on; poppler-utils
# reads the service report back in its tests. The unit history needs Qt's SQLite and PostgreSQL
# drivers (and libpq, to tell a refused login); its tests start a private PostgreSQL server of their own.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev fonts-dejavu-core
          dpkg-dev poppler-utils libqt6sql6-sqlite libqt6sql6-psql libpq-dev postgresql "$@")

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
  if command -v cmake >/dev/null 2>&1 && command -v qmake6 >/dev/null 2>&1; then
    exit 0
  fi
  echo "This is not a Debian/Ubuntu system. Install: CMake 3.21+, Ninja, a C++17 compiler," >&2
  echo "Qt 6 (Core, Gui, Widgets, SerialPort, Sql with the SQLite and PostgreSQL drivers, Test) with its development files, then run again." >&2
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null 2>&1 || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
