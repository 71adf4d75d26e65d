#!/usr/bin/env bash
# Builds the server benchmark in Release, seeds the large data set and prints the ratios.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${DRAVIK_BENCH_BUILD_DIR:-$root/build-bench}
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON \
      -DDRAVIK_BUILD_CLIENT=OFF -DDRAVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_server -j2
"$build/bench/server/bench_server" "$@"
