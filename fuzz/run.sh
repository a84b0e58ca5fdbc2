#!/bin/sh
# Replays the seeds of one libFuzzer target (fuzz/corpus/TARGET) and what
# earlier runs found, then fuzzes it for FUZZ_SECONDS (default 10). Run in
# the build folder (build/fuzz for the preset's tests), which keeps what it
# finds in corpus/TARGET, the input of a failure in crashes/ and the whole
# log in TARGET.log. A failure shows the sanitizer's report with its stack.
# usage: fuzz/run.sh BUILD-FOLDER/.../TARGET_fuzz
set -eu
bin=$1
target=$(basename "$bin" _fuzz)
if [ ! -x "$bin" ]; then
    echo "$bin does not exist: cmake --build --preset fuzz" >&2
    exit 1
fi
mkdir -p crashes "corpus/$target"
if ! UBSAN_OPTIONS=print_stacktrace=1 "$bin" -max_total_time="${FUZZ_SECONDS:-10}" -timeout=10 \
    -artifact_prefix="crashes/$target-" -print_final_stats=1 \
    "corpus/$target" "$(dirname "$0")/corpus/$target" >"$target.log" 2>&1; then
    report=$(sed -n '/ERROR: \|runtime error: /,/^SUMMARY: /p' "$target.log")
    echo "${report:-$(tail -n 5 "$target.log")}"
    echo "$target failed; the whole log: $(pwd)/$target.log" >&2
    exit 1
fi
grep -E "^stat::number_of_executed_units|^Done" "$target.log"
