#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, starting from the
# seed inputs in tests/fuzz/seeds/<target>. Findings (crash-*, leak-*, timeout-*) land in
# build-fuzz/findings/<target>/.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
scripts/install-dependencies.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRENLOW_FUZZ=ON -DBRENLOW_BUILD_TESTS=OFF -DBRENLOW_BUILD_BENCHMARKS=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzzer.cc; do
    targets+=("$(basename "$source" _fuzzer.cc)")
  done
fi
cmake --build build-fuzz --target "${targets[@]/%/_fuzzer}"

status=0
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  echo "== $target: ${seconds}s"
  if ! build-fuzz/tests/fuzz/${target}_fuzzer "$corpus" "tests/fuzz/seeds/$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/" 2>build-fuzz/$target.log; then
    echo "!! $target found a problem: see build-fuzz/$target.log and $findings/"
    tail -30 build-fuzz/$target.log
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' build-fuzz/$target.log || true
  fi
done
exit $status
