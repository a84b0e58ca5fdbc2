#!/bin/sh
# The test command: installs what the tests need (as root, with apt-get),
# builds each preset and runs its tests once, then checks the release. The
# last line names what this host could not run, and why. Each fuzz target
# runs FUZZ_SECONDS (10) after its corpus.
set -eu
cd "$(dirname "$0")/.."

# Beyond the package build's needs (debian/control): the analysers, the
# release's tools, and the Windows and ARM builds with what runs their
# programs (Wine up to 10 needs wine32 of i386 for 32-bit ones).
packages="clang libclang-rt-dev valgrind clang-tidy clang-format cppcheck mandoc
    ninja-build file git lintian devscripts python3-pefile unzip zip gpg gpgv
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386
    g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user
    crossbuild-essential-arm64 crossbuild-essential-armhf libc6-dev:arm64 libc6-dev:armhf"
missing= install= unavailable=
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ] || ! dpkg-checkbuilddeps 2>/dev/null; then
    if [ "$(id -u)" = 0 ]; then
        for arch in i386 arm64 armhf; do
            dpkg --add-architecture "$arch"
        done
        apt-get update -qq
    fi
    # A package that this host's Debian does not have (Wine, on Debian
    # testing today) is left out, and the tests that need it skip.
    for p in $missing; do
        if LC_ALL=C apt-cache policy "$p" 2>/dev/null | grep -q "Candidate: [^(]"; then
            install="$install $p"
        else
            unavailable="$unavailable $p"
        fi
    done
    echo "installing:$install${unavailable:+; this Debian has no$unavailable}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg-checkbuilddeps 2>/dev/null || apt-get build-dep -y -qq ./ >/dev/null
    [ -z "$install" ] || apt-get install -y -qq --no-install-recommends $install >/dev/null
fi

for preset in release clang debug asan fuzz windows windows64 linux-arm64 linux-armhf; do
    echo "== $preset"
    cmake --preset "$preset" -DTAVO_WERROR=ON -DTAVO_UNAVAILABLE="$(echo $unavailable | tr ' ' ';')" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
    if [ "$preset" = fuzz ]; then
        fuzz/run.sh "${FUZZ_SECONDS:-10}"
    else
        ctest --preset "$preset" -j "$(nproc)"
    fi
done

# The release of HEAD, so only where the presets above tested HEAD.
release="skipped: the release check: the tree has uncommitted changes"
if git diff --quiet HEAD --; then
    echo "== the release, cut twice from HEAD and checked as users receive it"
    tests/release/check_release.sh
    release=
fi

# What this host could not run, in the tests' own words.
skipped=$({ cat build/*/Testing/Temporary/LastTest*.log; echo "$release"; } |
    sed -n 's/^skipped: //p' | sort -u | awk '{ printf "%s%s", (NR > 1 ? "; " : ""), $0 }')
echo "== skipped: ${skipped:-nothing}"
