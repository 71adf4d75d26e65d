#!/usr/bin/env bash
# Builds one benchmark in Release (-O3) and runs it with the given arguments.
#   build-and-run.sh TARGET SUBFOLDER "CMAKE OPTIONS" [BENCHMARK ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${DRAVIK_BENCH_BUILD_DIR:-$root/build-bench}
target=$1
folder=$2
read -r -a options <<<"$3"
shift 3
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON \
      -DDRAVIK_BUILD_TESTS=OFF "${options[@]}" >/dev/null
# A window benchmark depends on the reference server of the same build, which is built with it.
cmake --build "$build" --target "$target" -j2
"$build/bench/$folder/$target" "$@"
