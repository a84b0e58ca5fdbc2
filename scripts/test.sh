#!/bin/sh
# Builds tavoScribe and runs every test: both fuzz targets for FUZZ_SECONDS
# each (default 60), the Linux build with g++ (with the analysers) and with
# clang++, the Windows build under Wine, the sanitizer build, and the debug
# build with the end-to-end table also under valgrind. On a fresh Debian
# machine it first installs what is missing (as root, with apt-get).
set -eu
cd "$(dirname "$0")/.."

# Installs the Debian packages that are not there yet.
need() {
    missing=
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" ||
            missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "installing:$missing"
    apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

need cmake make g++ clang libclang-rt-14-dev libgtest-dev python3 valgrind \
    clang-tidy clang-format cppcheck
# The Windows build: the cross compiler, zip for its download, and Wine
# (32-bit) to run it.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt-get update -qq
fi
need g++-mingw-w64-i686 zip wine wine32:i386

jobs=$(nproc 2>/dev/null || echo 2)
echo "== fuzz"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
fuzz/run.sh "${FUZZ_SECONDS:-60}"

for preset in release clang windows asan debug; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    start=$(date +%s)
    ctest --preset "$preset" -j "$jobs"
    echo "== $preset: tests took $(($(date +%s) - start)) s"
done
