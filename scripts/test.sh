#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test,
# then builds the optimised program and tools exactly as scripts/run.sh does (so that a warning
# only an optimised build shows fails here, not on a fresh machine) and gives every fuzz target
# a short run (its seeds and 15 s of new inputs: about 2 minutes in all, the clang build
# included). Arguments go to ctest, and a run given any (a subset of the tests) leaves the
# optimised build and the fuzz step out.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRENLOW_SANITIZE=ON
cmake --build build-test
(cd build-test && ctest --output-on-failure -j 2 "$@")

if [ $# -eq 0 ]; then
  echo "== optimised build of what scripts/run.sh runs (build-release)"
  scripts/build-release.sh
  echo "== short fuzz run of every target (scripts/fuzz.sh 300 runs each for 5 minutes)"
  scripts/fuzz.sh 15
fi
