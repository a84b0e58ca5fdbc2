#!/bin/sh
# Builds tavoScribe and runs every test. On a fresh Debian machine it first
# installs what is missing (as root, with apt-get).
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

need cmake make g++ clang libgtest-dev python3 valgrind
# The Windows build: the cross compiler, zip for its download, and Wine
# (32-bit) to run it.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt-get update -qq
fi
need g++-mingw-w64-i686 zip wine wine32:i386

jobs=$(nproc 2>/dev/null || echo 2)
for preset in release clang windows; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
