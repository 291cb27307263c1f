#!/usr/bin/env bash
# Builds the Debian package (build-package/brenlow_<version>_<arch>.deb): release build of the
# program and the tools, dependencies computed from the binaries.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBRENLOW_BUILD_TESTS=OFF -DBRENLOW_BUILD_BENCHMARKS=OFF
cmake --build build-package
cd build-package
cpack -G DEB
ls -1 "$PWD"/*.deb
