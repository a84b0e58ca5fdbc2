#!/bin/sh
# Two builds of the same sources, in other folders, give byte-identical
# tavoScribe.exe and zip.
# usage: reproducible.sh SOURCE_DIR BUILD_DIR
set -eu
src=$1 build=$2
other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT

tar -C "$src" --exclude=./build --exclude=.git -cf - . | (mkdir "$other/src" && tar -C "$other/src" -xf -)
cmake --preset windows -S "$other/src" -B "$other/build" >/dev/null
cmake --build "$other/build" --target zip >/dev/null

status=0
for f in tavoScribe.exe "$(cd "$build" && ls tavoScribe-*-win32.zip)"; do
    a=$(sha256sum <"$build/$f") b=$(sha256sum <"$other/build/$f")
    if [ "$a" = "$b" ]; then
        echo "$f: identical, sha256 ${a%% *}"
    else
        echo "$f differs between two builds" >&2
        status=1
    fi
done
exit $status
