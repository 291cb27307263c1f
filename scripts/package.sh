#!/usr/bin/env bash
# Builds the Debian package (build-package/brenlow_<version>_<arch>.deb): release build of the
# program and the tools (stripped), dependencies computed from the binaries, a manual page for
# every command; then lintian's verdict on it (errors fail the build).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh --packaging
# The installed program finds its configuration in /etc because it is built for the prefix /usr.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBRENLOW_BUILD_TESTS=OFF -DBRENLOW_BUILD_BENCHMARKS=OFF -DBRENLOW_INSTALL_MAN_PAGES=ON
cmake --build build-package
cd build-package
rm -f ./*.deb
cpack -G DEB
package=$(ls -1 "$PWD"/*.deb)
lintian --fail-on error "$package"
echo "$package"
