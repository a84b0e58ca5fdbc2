#!/bin/sh
# Times tavoScribe-cards on 100,000 and 1,000,000 different cards, with and
# without --names, beside mawk only splitting the million and the card-list
# script of the manual of 1.1.0 on 1,000; each per card, with its peak memory.
# usage: bench/cards.sh BUILD-FOLDER   (one that holds both programs)
set -eu
build=$(cd "$1" && pwd) work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git -C "$(dirname "$0")" show a4b49ed:man/tavoScribe.1 |
    sed -n '/^n=0 failed=0$/,/^exit "$failed"$/{s/\\e/\\/g;p;}' >"$work/cards.sh"
awk 'BEGIN { srand(1); for (i = 0; i < 1000000; i++) printf "%09d %02d%02d%02d %02d%02d%02d Mustermann Erika\n",
    rand() * 1e9, rand() * 100, 1 + rand() * 12, 1 + rand() * 28, rand() * 100, 1 + rand() * 12, 1 + rand() * 28 }' >"$work/1000000"
head -n 1000 "$work/1000000" >"$work/1000" && head -n 100000 "$work/1000000" >"$work/100000"
measure() { # WHAT CARDS COMMAND...: sets us to its microseconds a card
    what=$1 cards=$2
    shift 2
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/kib" "$@" >"$work/out" || [ $? = 1 ]
    ns=$(($(date +%s%N) - start))
    us=$(awk "BEGIN { print $ns / 1e3 / $cards }")
    printf '%-28s %8d cards %8.3f s %9.3f us a card %7d KiB\n' "$what" "$cards" "$(awk "BEGIN { print $ns / 1e9 }")" "$us" "$(cat "$work/kib")"
}
measure "cards.sh of 1.1.0" 1000 env PATH="$build:$PATH" sh "$work/cards.sh" "$work/1000" && script=$us
measure "mawk, splitting alone" 1000000 mawk '{print $1 "\t" $2 "\t" $3}' "$work/1000000" && mawk=$us
for n in 1000 100000 1000000; do
    measure "tavoScribe-cards" $n "$build/tavoScribe-cards" "$work/$n" && program=$us
    measure "tavoScribe-cards --names" $n "$build/tavoScribe-cards" --names "$work/$n"
done
awk "BEGIN { printf \"per card: %.0f times faster than cards.sh, %.2f times mawk's time\n\", $script / $program, $program / $mawk }"
