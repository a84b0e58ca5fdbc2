#!/bin/sh
# Replays the seeds of each fuzz target (fuzz/*_fuzz.cpp) and what earlier
# runs found, then fuzzes it for SECONDS (default 10). Fails where one was
# never built, or in libFuzzer's words (the input kept in build/fuzz/crashes).
# usage: fuzz/run.sh [SECONDS]   (after: cmake --preset fuzz && cmake --build --preset fuzz)
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-10}
crashes=build/fuzz/crashes
mkdir -p "$crashes"

for source in fuzz/*_fuzz.cpp; do
    target=$(basename "$source" _fuzz.cpp)
    # Where the default generator puts it, or a multi-configuration one.
    bin=$(ls build/fuzz/fuzz/${target}_fuzz build/fuzz/fuzz/*/${target}_fuzz 2>/dev/null | head -n 1)
    if [ -z "$bin" ]; then
        echo "${target}_fuzz is not built: cmake --preset fuzz && cmake --build --preset fuzz" >&2
        exit 1
    fi
    log=build/fuzz/$target.log
    mkdir -p "build/fuzz/corpus/$target"
    echo "== $target, ${seconds}s"
    if ! "$bin" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$crashes/$target-" \
        -print_final_stats=1 "build/fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        why=$(grep -m 1 -E 'ERROR: |runtime error: ' "$log" | sed 's/^==[0-9]*== *//')
        echo "$target failed: ${why:-$(tail -n 1 "$log")}" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^Done" "$log"
done
