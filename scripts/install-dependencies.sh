#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, if any is missing.
# With --packaging also what building and checking the Debian package needs (scripts/package.sh,
# scripts/check-package.sh), which the tests do not.
set -euo pipefail

packages=(
  g++ clang libclang-rt-dev cmake ninja-build pkg-config dpkg-dev
  libsqlite3-dev sqlite3
  qt6-base-dev libxcb1-dev libgl-dev qt6-translations-l10n qt6-gtk-platformtheme
  libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev
  fonts-wqy-zenhei
  xvfb xauth x11-utils openbox trayer xdotool
)
if [ "${1:-}" = "--packaging" ]; then
  packages+=(lintian help2man)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq || true
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
