#!/bin/sh
# Counts with callgrind the instructions of the tool on the worked example, less
# those of a C program that writes the same bytes, and fails above LIMIT.
# usage: bench/instructions.sh TOOL REFERENCE [LIMIT]
set -eu
tool=$1 reference=$2 limit=${3:-10000}
set -- 123456789 850101 301231

# Both runs get an empty environment: the C library's start-up work grows
# with it, and a fixed one keeps the counts repeatable.
count() { # PROGRAM [ARGUMENTS]
    n=$(env -i valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : *\([0-9]*\).*/\1/p')
    case $n in
    '' | *[!0-9]*) echo "callgrind gave no count for $1" >&2; exit 1 ;;
    esac
    echo "$n"
}

bytes=$("$tool" "$@" | od -An -tx1)
if [ -z "$bytes" ] || [ "$bytes" != "$("$reference" | od -An -tx1)" ]; then
    echo "the tool and the C program write different bytes" >&2
    exit 1
fi
ours=$(count "$tool" "$@")
theirs=$(count "$reference")
echo "tool: $ours instructions, C program: $theirs; the tool's own work: $((ours - theirs)) (limit $limit)"
[ $((ours - theirs)) -le "$limit" ]
