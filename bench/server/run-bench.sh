#!/usr/bin/env bash
# Builds the server benchmark in Release, seeds the large data set and prints the ratios.
exec bash "$(dirname "$0")/../support/build-and-run.sh" bench_server server "$@"
