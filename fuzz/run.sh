#!/bin/sh
# Runs both fuzz targets for SECONDS each (default 60), starting from the
# seed corpus in fuzz/corpus. New inputs go to a scratch corpus, crashes to
# build/fuzz/crashes. Fails when a target finds a crash.
# usage: fuzz/run.sh [SECONDS]   (after: cmake --preset fuzz && cmake --build --preset fuzz)
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
bin=build/fuzz/fuzz
crashes=build/fuzz/crashes
mkdir -p "$crashes"

for target in check_digit run; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    log=build/fuzz/$target.log
    echo "== $target, ${seconds}s"
    if ! "$bin/${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="$crashes/$target-" -print_final_stats=1 \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target: crash, see $crashes" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^Done" "$log"
done
