#!/bin/sh
# The test command, as CONTRIBUTING.md describes it. It gives tests/need
# apt's word on what cannot be installed.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d) fetched=
trap 'rm -rf "$work"' EXIT
export TAVO_SKIPS="$work/skips" TAVO_APT_CANNOT=
die() {
    echo "test.sh: $*" >&2
    exit 1
}

# Beyond debian/control's build dependencies: the compilers every Debian has
# and the tests' tools (Wine up to 10 runs 32-bit programs with wine32:i386).
packages="clang libclang-rt-dev ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64
    g++-aarch64-linux-gnu g++-arm-linux-gnueabihf valgrind clang-tidy clang-format cppcheck
    wine wine64 wine32:i386"
release_packages="git file lintian devscripts zip unzip mandoc gpg gpgv qemu-user
    crossbuild-essential-arm64 crossbuild-essential-armhf libc6-dev:arm64 libc6-dev:armhf"

missing=
for p in $packages $release_packages; do
    dpkg-query -W -f '${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing="$missing $p"
done
if [ -n "$missing" ] || ! dpkg-checkbuilddeps 2>/dev/null; then
    # Another user updates nothing, and without an update apt's word proves nothing.
    [ "$(id -u)" = 0 ] || die "not installed:$missing$(dpkg-checkbuilddeps 2>&1 |
        sed -n 's/.*Unmet build dependencies:/ /p'); as root, scripts/test.sh installs what apt can of them"
    for arch in i386 arm64 armhf; do dpkg --add-architecture "$arch"; done
    # A list not fetched (a mirror mid-sync) costs only what apt then lacks.
    LC_ALL=C apt-get update -qq >"$work/update" 2>&1 || true
    sed -n 's/^[WE]: /warning: apt-get update: /p' "$work/update"
    DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq ./ >"$work/log" 2>&1 ||
        die "apt-get build-dep: $(tail -n 3 "$work/log")"
    # The architectures of the lists apt has that no error line names.
    fetched=$(apt-cache policy | sed -n 's|^ *[0-9]* \([^ ]*\) \([^ /]*\)/\([^ ]*\) \([^ ]*\) Packages$|\1 \2 \3 \4|p' |
        while read -r uri suite component arch; do
            grep -qF -e "$uri/dists/$suite/InRelease" -e "$uri/dists/$suite/Release" -e "$uri $suite " \
                -e "$uri/dists/$suite/$component/binary-$arch/" "$work/update" || echo "$arch"
        done)
fi
# apt's reason why it cannot install PACKAGE, for the tests that need it to
# skip, where this run fetched a list of its architecture.
cannot() { # PACKAGE
    why=$(sed -n 's/^ \([^ ]* : .*\)/\1/p; s/^E: //p' "$work/log" | head -n 1)
    arch=$(echo "$1:$(dpkg --print-architecture)" | cut -d : -f 2)
    echo "$fetched" | grep -qx "$arch" ||
        die "apt cannot install $1 ($why), and this run fetched no package list of $arch: $(grep -m 1 '^[WE]: ' "$work/update")"
    echo "apt cannot install $1: $why"
    TAVO_APT_CANNOT="$TAVO_APT_CANNOT$1: $why
"
}
apt_install() {
    LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" >"$work/log" 2>&1
}
# Installed together, and where that fails, each alone: one that apt cannot
# install or download (a file the mirror lacks) costs no other.
if [ -n "$missing" ] && ! apt_install $missing; then
    for p in $missing; do
        apt_install "$p" || cannot "$p"
    done
fi

presets=$(cmake --list-presets | sed -n 's/^ *"\([^"]*\)".*/\1/p')
for preset in $presets; do
    echo "== $preset"
    cmake --preset "$preset" -DBUILD_TESTING=ON -DTAVO_WERROR=ON >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
    ctest --preset "$preset" -j "$(nproc)" --no-tests=error
done

echo "== the release, cut twice from HEAD and checked as users receive it"
tests/need "release check" $release_packages +checkout +terminal +ptrace -- tests/release/check_release.sh $presets ||
    [ $? = 77 ]

skipped=$(sort -u "$TAVO_SKIPS" 2>/dev/null | awk '{ sub(/^skipped: /, ""); printf "%s%s", (NR > 1 ? "; " : ""), $0 }')
echo "== skipped: ${skipped:-nothing}"
