#!/bin/sh
# The test command: installs what the tests need (as root), builds each
# preset and runs its tests once, then checks the release. The last line
# names what this run skipped, in apt's or the system's words.
set -eu
cd "$(dirname "$0")/.."
log=$(mktemp) skips=$(mktemp) unavailable=$(mktemp)
trap 'rm -f "$log" "$skips" "$unavailable"' EXIT
die() {
    echo "test.sh: $*" >&2
    exit 1
}

# Beyond debian/control's build dependencies: compilers that every Debian has,
# the tests' tools (Wine up to 10 runs 32-bit programs with wine32 of i386)
# and the release check's. Only a test whose tool apt cannot install skips,
# and the release check for one of its own.
presets="release clang debug asan fuzz windows windows64 linux-arm64 linux-armhf"
packages="clang libclang-rt-dev ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64
    g++-aarch64-linux-gnu g++-arm-linux-gnueabihf valgrind clang-tidy clang-format cppcheck
    mandoc python3-pefile wine wine64 wine32:i386 qemu-user"
release_tools="git file lintian devscripts zip unzip mandoc gpg gpgv qemu-user
    crossbuild-essential-arm64 crossbuild-essential-armhf libc6-dev:arm64 libc6-dev:armhf"

# apt's reason why it cannot install PACKAGE, or nothing where it can.
why_not() { # PACKAGE
    LC_ALL=C apt-get install -s --no-install-recommends "$1" >"$log" 2>&1 ||
        sed -n 's/^ \([^ ]* : .*\)/\1/p; s/^E: //p' "$log" | head -n 1
}
# Whether apt's word proves that PACKAGE cannot be installed: as root, after
# an update; else only where the lists of its architecture lack it.
proved() { # PACKAGE WHY
    [ "$(id -u)" = 0 ] && return
    arch=$(echo "$1:$(dpkg --print-architecture)" | cut -d : -f 2)
    ls /var/lib/apt/lists/*_binary-"$arch"_Packages* >/dev/null 2>&1 &&
        echo "$2" | grep -qE "has no installation candidate|Unable to locate package"
}

missing= install=
for p in $packages $release_tools; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ "$(id -u)" = 0 ] && { [ -n "$missing" ] || ! dpkg-checkbuilddeps 2>/dev/null; }; then
    for arch in i386 arm64 armhf; do
        dpkg --add-architecture "$arch"
    done
    # A list not fetched (a mirror mid-sync) costs only what apt then lacks.
    apt-get update -qq >"$log" 2>&1 || sed -n 's/^[WE]: Failed to fetch /warning: apt could not fetch /p' "$log"
    DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq ./ >"$log" 2>&1 ||
        die "apt-get build-dep: $(tail -n 3 "$log")"
elif ! dpkg-checkbuilddeps; then
    die "as root, scripts/test.sh installs them"
fi
# Each alone, so that none that apt cannot install takes others with it.
for p in $missing; do
    why=$(why_not "$p")
    if [ -n "$why" ] && proved "$p" "$why"; then
        echo "$p: $why" | tee -a "$unavailable" | sed 's/^/apt cannot install /'
    else
        install="$install $p"
    fi
done
if [ -n "$install" ]; then
    [ "$(id -u)" = 0 ] || die "not installed:$install; as root, scripts/test.sh installs what apt can of them"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $install >"$log" 2>&1 ||
        die "apt-get install: $(tail -n 3 "$log")"
fi

for preset in $presets; do
    echo "== $preset"
    cmake --preset "$preset" -DTAVO_WERROR=ON -DTAVO_UNAVAILABLE="$(tr '\n' ';' <"$unavailable")" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
    if [ "$preset" = fuzz ]; then
        fuzz/run.sh "${FUZZ_SECONDS:-10}" # seconds a target, after its corpus
    else
        ctest --preset "$preset" -j "$(nproc)"
        sed -n 's/^skipped: //p' "build/$preset/Testing/Temporary/LastTest.log" >>"$skips"
    fi
done

# The release of HEAD, from the programs that the presets above tested.
why=
for p in $release_tools; do
    line=$(grep -m 1 "^$p: " "$unavailable") && why="apt cannot install $line" && break
done
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" != "$(pwd -P)" ]; then
    why="this is not a git checkout"
elif ! git diff --quiet HEAD --; then
    why="the tree has uncommitted changes"
fi
if [ -z "$why" ]; then
    echo "== the release, cut twice from HEAD and checked as users receive it"
    tests/release/check_release.sh $presets
else
    echo "release check: $why" >>"$skips"
fi

skipped=$(sort -u "$skips" | awk '{ printf "%s%s", (NR > 1 ? "; " : ""), $0 }')
echo "== skipped: ${skipped:-nothing}"
