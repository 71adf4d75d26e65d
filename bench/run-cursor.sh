#!/usr/bin/env bash
# Builds the cursor benchmark in Release (-O3) and prints its time ratio against an XML parser.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRAVIK_BENCH_BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON \
      -DDRAVIK_BUILD_TESTS=OFF -DDRAVIK_BUILD_SERVER=OFF >/dev/null
cmake --build "$build" --target bench_cursor -j2
"$build/bench/cursor/bench_cursor" --benchmark_min_time=0.5 "$@"
