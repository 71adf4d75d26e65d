#!/usr/bin/env bash
# Builds the search benchmark and the reference server in Release (-O3) and prints the time of a
# plate search and of a 150-row name search on the large data set, against the raw query.
exec bash "$(dirname "$0")/support/build-and-run.sh" bench_search search \
    --benchmark_min_time=1 "$@"
