#!/usr/bin/env bash
# Builds the saving benchmark and the reference server in Release (-O3) and prints the time of a
# save of one changed field with its reload against the same two requests sent directly.
exec bash "$(dirname "$0")/support/build-and-run.sh" bench_saving saving \
    --benchmark_min_time=1 "$@"
