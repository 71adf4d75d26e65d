#!/usr/bin/env bash
# Builds the cursor benchmark in Release (-O3) and prints its time ratio against an XML parser.
exec bash "$(dirname "$0")/support/build-and-run.sh" bench_cursor cursor \
    "-DDRAVIK_BUILD_SERVER=OFF" --benchmark_min_time=0.5 "$@"
