#!/usr/bin/env bash
# Builds the optimised program and tools that scripts/run.sh starts (in build-release): warnings
# are errors and Debian's hardening flags apply, as in every optimised build. scripts/run.sh and
# scripts/test.sh both call this, so CI builds exactly what a fresh machine runs.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRENLOW_BUILD_TESTS=OFF >/dev/null
cmake --build build-release --target brenlow brenlow-admin brenlow-terminal brenlow-controller
