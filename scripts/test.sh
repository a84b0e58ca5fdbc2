#!/bin/sh
# Builds tavoScribe and runs every test: both fuzz targets for FUZZ_SECONDS
# each (default 60), the Linux build with g++ (with the analysers) and with
# clang++, the Windows build under Wine, the sanitizer build, the debug
# build with the end-to-end table also under valgrind, the release preset
# under Ninja Multi-Config, and the release check (scripts/release.sh twice
# from clones of HEAD, its five files checked as users receive them). On a
# fresh Debian machine it first installs what is missing (as root, with
# apt-get), adding the i386 architecture for Wine.
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
    clang-tidy clang-format cppcheck mandoc strace ninja-build file
# The release: Debian packaging and its checks, and python3-pefile to read
# the Windows program's resources.
need dpkg-dev debhelper lintian devscripts python3-pefile unzip
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

# The presets with a multi-configuration generator, in a copy of the tree
# (a build folder keeps the generator it was made with).
echo "== release with Ninja Multi-Config"
multi=$(mktemp -d)
trap 'rm -rf "$multi"' EXIT
tar --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$multi" -xf -
(cd "$multi" && cmake --preset release -G "Ninja Multi-Config" &&
    cmake --build --preset release -j "$jobs" && ctest --preset release -j "$jobs")

echo "== the release, built twice from HEAD and checked as users receive it"
tests/release/check_release.sh
