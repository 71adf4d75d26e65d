#!/usr/bin/env bash
# Builds the saving benchmark and the reference server in Release (-O3) and prints the time of a
# save of one changed field with its reload against the same two requests sent directly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRAVIK_BENCH_BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON \
      -DDRAVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_saving dravik-server -j2
"$build/bench/saving/bench_saving" --benchmark_min_time=1 "$@"
