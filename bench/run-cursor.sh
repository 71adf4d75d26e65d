#!/usr/bin/env bash
# Builds the cursor benchmark in Release (-O3) and prints its time ratio against pugixml.
exec bash "$(dirname "$0")/support/build-and-run.sh" bench_cursor cursor \
    --benchmark_min_time=0.5 "$@"
