#!/usr/bin/env bash
# Runs every benchmark on the full idiom store and prints one table: our figure, and beside it
# the floor measured on this machine in the same run where there is one (the sqlite3 tool
# running the same statement on the same file; espeak-ng's own tool writing the same text).
# Uses a private X display and sound server, like the tests.
#   bench/perf-table.sh [runs]      (after ./run.sh or ./test.sh; it turns the benchmarks on)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/setup.sh
. tools/headless.sh
runs=${1:-9}
wq_build "$WQ_BUILD" program -DWENQUELL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$WQ_BUILD" --target bench_startup bench_floor bench_dictionary bench_game bench_search >/dev/null
trap wq_stop_headless EXIT
wq_start_headless

lines=$(
    "$WQ_BUILD/bench/bench_startup" "$runs" 2>/dev/null
    "$WQ_BUILD/bench/bench_dictionary" "$((runs * 2))" 2>/dev/null
    "$WQ_BUILD/bench/bench_game" "$((runs * 10))" 2>/dev/null
    "$WQ_BUILD/bench/bench_search" "$runs" 2>/dev/null
)
printf '%s\n' "$lines" | grep -v '^table|'
echo
echo "Machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo),"\
     "$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1); $(date -u +%Y-%m-%d)"
echo
echo "| Figure | Wenquell | Floor on this machine |"
echo "| --- | --- | --- |"
printf '%s\n' "$lines" | awk -F'|' '/^table\|/ {
    floor = ($5 == "") ? "-" : $5 " " $4
    if ($6 != "") floor = floor " (ours: " $6 ")"
    printf "| %s | %s %s | %s |\n", $2, $3, $4, floor
}'
