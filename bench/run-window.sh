#!/usr/bin/env bash
# Builds the window benchmark and the reference server in Release (-O3) and prints the time of a
# warm record load, and of the first build of every tab, against the fetch of the record.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRAVIK_BENCH_BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON \
      -DDRAVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_window dravik-server -j2
"$build/bench/window/bench_window" --benchmark_min_time=1 "$@"
