#!/usr/bin/env bash
# Builds the window benchmark and the reference server in Release (-O3) and prints the time of a
# warm record load, and of the first build of every tab, against the fetch of the record.
exec bash "$(dirname "$0")/support/build-and-run.sh" bench_window window \
    --benchmark_min_time=1 "$@"
