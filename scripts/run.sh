#!/usr/bin/env bash
# Builds the program and runs it on its default database, creating that database when there is
# none. With a display (X11 or Wayland) the desktop program starts, otherwise the headless
# server. Extra arguments are passed to brenlow (for example --headless or --database PATH).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
scripts/build-release.sh
brenlow=build-release/src/app/brenlow

database=/var/lib/brenlow/brenlow.db
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  [ "${args[$i]}" = "--database" ] && database="${args[$((i + 1))]:-$database}"
done

if [ ! -e "$database" ]; then
  folder=$(dirname "$database")
  if [ ! -d "$folder" ]; then
    if [ "$(id -u)" -ne 0 ]; then
      sudo install -d -o "$(id -u)" -g "$(id -g)" "$folder"
    else
      install -d "$folder"
    fi
  fi
  echo "Creating a new database at $database"
  "$brenlow" --init-database "$database"
fi

# The credentials file sits beside the program. Without one the desktop login admits nobody, so
# a first run on a terminal asks for the user name and password.
credentials="$brenlow.ini"
if [ ! -e "$credentials" ] && [ -t 0 ]; then
  echo "Choose the user name and password of the desktop login ($credentials):"
  "$brenlow" --set-credentials
fi

mode=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the headless server (Ctrl+C stops it)"
  mode=(--headless)
fi
exec "$brenlow" "${mode[@]}" "$@"
