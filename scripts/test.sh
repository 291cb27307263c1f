#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRENLOW_SANITIZE=ON
cmake --build build-test
cd build-test
ctest --output-on-failure -j 2 "$@"
