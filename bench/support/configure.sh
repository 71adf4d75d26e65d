#!/usr/bin/env bash
# Installs what is missing and configures the one benchmark build (Release, -O3 where a
# benchmark asks for it): client, server and every benchmark, no tests. Every benchmark script
# uses this same configuration, so they may run in any order in the same folder. Prints the
# build folder ($DRAVIK_BENCH_BUILD_DIR, else build-bench/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${DRAVIK_BENCH_BUILD_DIR:-$root/build-bench}
bash "$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON \
      -DDRAVIK_BUILD_TESTS=OFF -DDRAVIK_BUILD_CLIENT=ON -DDRAVIK_BUILD_SERVER=ON >/dev/null
echo "$build"
