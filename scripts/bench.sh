#!/usr/bin/env bash
# Builds one benchmark in a release build folder of its own (build-bench: optimised, no
# sanitizers, no tests) and runs it; each benchmark prints its own figures. The folder is left
# alone by the other scripts, so a second run rebuilds only what changed.
#
#   scripts/bench.sh controller_bench [--tick-only]
#   scripts/bench.sh terminal_bench [--seconds S] [--rounds N] [--backlog B]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ]; then
  echo "usage: scripts/bench.sh controller_bench|terminal_bench [benchmark arguments]" >&2
  exit 2
fi
benchmark=$1
shift

scripts/install-dependencies.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRENLOW_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench --target "$benchmark"
exec "build-bench/bench/$benchmark" "$@"
