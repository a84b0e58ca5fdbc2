#!/bin/sh
# Builds tavoScribe and runs every test: both fuzz targets for FUZZ_SECONDS
# each (default 60), the Linux build with g++ (with the analysers) and with
# clang++, the 32- and the 64-bit Windows build under Wine, the 64- and the
# 32-bit ARM Linux build under qemu-user, the sanitizer build, the debug
# build with the end-to-end table also under valgrind, the release preset
# under Ninja Multi-Config, and the release check
# (scripts/release.sh from clones of HEAD, its files checked as users
# receive them). On a fresh Debian 12 or 13 machine it first installs what
# is missing (as root, with apt-get), adding the i386, arm64 and armhf
# architectures. On a host that runs no 32-bit code, what needs 32-bit Wine
# is skipped, and the last line says so.
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

# Names that Debian 12 and 13 both carry: libclang-rt-dev is the runtime of
# the release's default clang.
need build-essential cmake clang libclang-rt-dev libgtest-dev python3 valgrind \
    clang-tidy clang-format cppcheck mandoc strace ninja-build file
# The release: git for its source, Debian packaging and its checks,
# python3-pefile to read the Windows programs' resources, and gpg and gpgv
# to sign it and check the signature.
need git dpkg-dev debhelper lintian devscripts python3-pefile unzip gpg gpgv
# The Windows builds need the i386 architecture for 32-bit Wine, and the ARM
# packages need that architecture's C library for their dependencies.
for arch in i386 arm64 armhf; do
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        dpkg --add-architecture "$arch"
        added=yes
    fi
done
[ -z "${added:-}" ] || apt-get update -qq
# The Windows builds: the cross compilers, zip for their downloads, and Wine
# to run them (wine32 even where the host cannot start it: only a try tells).
need g++-mingw-w64-i686 g++-mingw-w64-x86-64 zip wine wine64 wine32:i386
# The ARM builds: the cross compilers, qemu-user to run what they build, and
# for the packages Debian's cross-building tools and C library.
need g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user \
    crossbuild-essential-arm64 crossbuild-essential-armhf libc6-dev:arm64 libc6-dev:armhf

jobs=$(nproc 2>/dev/null || echo 2)
echo "== fuzz"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
fuzz/run.sh "${FUZZ_SECONDS:-60}"

for preset in release clang windows windows64 linux-arm64 linux-armhf asan debug; do
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

echo "== the release, cut from HEAD and checked as users receive it"
release_log=$multi/release.log
{
    status=0
    tests/release/check_release.sh 2>&1 || status=$?
    echo "$status" >"$release_log.status"
} | tee "$release_log"
[ "$(cat "$release_log.status")" = 0 ]

# What this host could not run, from the tests' own words:
# "skipped: WHAT: WHY", grouped by why.
grep -h "^skipped: " build/*/Testing/Temporary/LastTest.log "$release_log" |
    awk '{ sub(/^skipped: /, ""); at = index($0, ": ");
           what = substr($0, 1, at - 1); why = substr($0, at + 2)
           if (!(why in list)) order[n++] = why
           list[why] = list[why] (list[why] == "" ? "" : ", ") what }
         END { line = n ? "" : "nothing"
               for (i = 0; i < n; i++)
                   line = line (i ? "; " : "") list[order[i]] ": " order[i]
               print "== skipped: " line }'
