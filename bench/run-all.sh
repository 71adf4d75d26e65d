#!/usr/bin/env bash
# Builds every benchmark in the one benchmark build (Release), runs them one after another and
# prints one table: benchmark, ratio, aim, and whether the ratio holds its aim. Each program's
# own output goes to stderr. Exits 1 when a benchmark could not run; an aim that does not hold
# is reported in the table, not in the exit code.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(bash "$here/support/configure.sh")
targets=(bench_cursor bench_engine bench_window bench_saving bench_server bench_photos bench_grids bench_search)
cmake --build "$build" --target "${targets[@]}" -j2 >&2

# name, program, its arguments (as the single-benchmark scripts give them)
runs=(
    "cursor|cursor/bench_cursor|--benchmark_min_time=0.5"
    "engine|engine/bench_engine|"
    "window|window/bench_window|--benchmark_min_time=1"
    "saving|saving/bench_saving|--benchmark_min_time=1"
    "server|server/bench_server|"
    "photos|photos/bench_photos|"
    "grids|grids/bench_grids|--benchmark_min_time=1"
    "search|search/bench_search|--benchmark_min_time=1"
)
lines=$(mktemp)
trap 'rm -f "$lines"' EXIT
failed=0
for run in "${runs[@]}"; do
    IFS='|' read -r name program args <<<"$run"
    echo "== $name" >&2
    read -r -a argv <<<"$args"
    if ! output=$("$build/bench/$program" "${argv[@]}" 2>&1); then
        failed=1
        echo "ratio: $name = failed" >>"$lines"
    fi
    printf '%s\n' "$output" >&2
    # The console report leaves colour codes before the first ratio line.
    printf '%s\n' "$output" | sed 's/\x1b\[[0-9;]*m//g' | grep '^ratio: ' >>"$lines" || true
done

# "ratio: WHAT = VALUE (aim OP LIMIT)" -> one row each
awk '
function row(what, value, aim, holds) {
    printf "| %-*s | %6s | %-6s | %-5s |\n", width, what, value, aim, holds
}
{
    line = substr($0, 8)
    aim = "-"; op = ""; limit = ""
    if (match(line, / \(aim (<=|>=) [0-9.]+\)$/)) {
        aim = substr(line, RSTART + 6, RLENGTH - 7)
        split(aim, parts, " "); op = parts[1]; limit = parts[2] + 0
        line = substr(line, 1, RSTART - 1)
    }
    match(line, / = [^=]*$/)
    what[NR] = substr(line, 1, RSTART - 1)
    value[NR] = substr(line, RSTART + 3)
    holds[NR] = "-"
    if (value[NR] == "failed") holds[NR] = "no"
    else if (op == "<=") holds[NR] = (value[NR] + 0 <= limit) ? "yes" : "no"
    else if (op == ">=") holds[NR] = (value[NR] + 0 >= limit) ? "yes" : "no"
    aims[NR] = aim
    if (length(what[NR]) > width) width = length(what[NR])
}
END {
    if (width < 9) width = 9
    row("benchmark", "ratio", "aim", "holds")
    dashes = sprintf("%*s", width, ""); gsub(/ /, "-", dashes)
    printf "|-%s-|--------|--------|-------|\n", dashes
    for (i = 1; i <= NR; ++i) row(what[i], value[i], aims[i], holds[i])
}' "$lines"
exit $failed
