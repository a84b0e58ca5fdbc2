#!/bin/sh
# Replays a libFuzzer target's seeds (fuzz/corpus/TARGET) and earlier finds
# (corpus/TARGET), then fuzzes it for FUZZ_SECONDS, 10 by default. The log
# and crashes/ go in the current folder.
# usage: fuzz/run.sh BUILD-FOLDER/.../TARGET_fuzz
set -eu
target=$(basename "$1" _fuzz)
mkdir -p crashes "corpus/$target"
if ! UBSAN_OPTIONS=print_stacktrace=1 "$1" -max_total_time="${FUZZ_SECONDS:-10}" -timeout=10 \
    -artifact_prefix="crashes/$target-" -print_final_stats=1 \
    "corpus/$target" "$(dirname "$0")/corpus/$target" >"$target.log" 2>&1; then
    report=$(sed -n '/ERROR: \|runtime error: /,/^SUMMARY: /p' "$target.log")
    echo "${report:-$(tail -n 5 "$target.log")}"
    echo "$target failed; the whole log: $(pwd)/$target.log" >&2
    exit 1
fi
grep -E "^stat::number_of_executed_units|^Done" "$target.log"
