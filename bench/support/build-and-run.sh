#!/usr/bin/env bash
# Builds one benchmark in the shared benchmark build and runs it with the given arguments.
#   build-and-run.sh TARGET SUBFOLDER [BENCHMARK ARGUMENTS...]
set -euo pipefail
build=$(bash "$(dirname "$0")/configure.sh")
target=$1
folder=$2
shift 2
# A window benchmark depends on the reference server of the same build, which is built with it.
cmake --build "$build" --target "$target" -j2
"$build/bench/$folder/$target" "$@"
