#!/usr/bin/env bash
# Builds the grids benchmark and the reference server in Release (-O3) and prints the time of
# filling the costs and actions grids of a record against the fetch of its document.
exec bash "$(dirname "$0")/support/build-and-run.sh" bench_grids grids \
    --benchmark_min_time=1 "$@"
