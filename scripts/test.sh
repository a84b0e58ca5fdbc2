#!/bin/sh
# The test command: installs what the tests need (as root, with apt-get),
# builds each preset and runs its tests once, then checks the release. The
# last line names what this host could not run, in apt's or the system's
# words. Each fuzz target runs FUZZ_SECONDS (10) after its corpus.
set -eu
cd "$(dirname "$0")/.."
log=$(mktemp) skips=$(mktemp)
trap 'rm -f "$log" "$skips"' EXIT
die() {
    echo "test.sh: $*" >&2
    exit 1
}

# Every run needs debian/control's build dependencies: the native build and
# its tests never skip. Beyond them, a step that needs a package this host
# cannot install is skipped, with apt's reason: a preset for its compilers, a
# test for its tool, the release check for any of its own.
presets="release clang debug asan fuzz windows windows64 linux-arm64 linux-armhf"
compilers() { # PRESET
    case $1 in
    clang | asan | fuzz) echo clang libclang-rt-dev ninja-build ;;
    windows) echo g++-mingw-w64-i686 ;;
    windows64) echo g++-mingw-w64-x86-64 ;;
    linux-arm64) echo g++-aarch64-linux-gnu ;;
    linux-armhf) echo g++-arm-linux-gnueabihf ;;
    esac
}
# Wine up to 10 runs 32-bit programs with wine32 of i386.
test_tools="valgrind clang-tidy clang-format cppcheck mandoc python3-pefile
    wine wine64 wine32:i386 qemu-user"
release_tools="git file lintian devscripts zip unzip mandoc gpg gpgv qemu-user
    crossbuild-essential-arm64 crossbuild-essential-armhf libc6-dev:arm64 libc6-dev:armhf"

# apt's reason why PACKAGE cannot be installed; nothing where it can.
why_not() { # PACKAGE
    LC_ALL=C apt-get install -s --no-install-recommends "$1" >"$log" 2>&1 ||
        sed -n 's/^ \([^ ]* : .*\)/\1/p; s/^E: //p' "$log" | head -n 1
}
# The skip line's reason: the first PACKAGE that this host cannot install.
cannot_install() { # PACKAGE...
    for p; do
        line=$(echo "$unavailable" | grep -m 1 "^$p: ") && echo "apt cannot install $line" && break
    done
    return 0
}

packages="$test_tools $release_tools"
for preset in $presets; do
    packages="$packages $(compilers "$preset")"
done
missing= unavailable= not_installed=
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ "$(id -u)" = 0 ] && { [ -n "$missing" ] || ! dpkg-checkbuilddeps 2>/dev/null; }; then
    for arch in i386 arm64 armhf; do
        dpkg --add-architecture "$arch"
    done
    # A list that cannot be fetched, as from a mirror mid-sync, costs only
    # the packages that apt then cannot install.
    apt-get update -qq >"$log" 2>&1 || sed -n 's/^[WE]: Failed to fetch /warning: apt could not fetch /p' "$log"
    export DEBIAN_FRONTEND=noninteractive
    apt-get build-dep -y -qq ./ >"$log" 2>&1 || die "apt-get build-dep: $(tail -n 3 "$log")"
    # All at once; where apt refuses the lot, each alone, so that none that
    # cannot be installed takes the others with it.
    if [ -n "$missing" ] && ! apt-get install -y -qq --no-install-recommends $missing >"$log" 2>&1; then
        install=
        for p in $missing; do
            why=$(why_not "$p")
            if [ -n "$why" ]; then
                unavailable="$unavailable$p: $why
"
            else
                install="$install $p"
            fi
        done
        [ -z "$install" ] || apt-get install -y -qq --no-install-recommends $install >"$log" 2>&1 ||
            die "apt-get install: $(tail -n 3 "$log")"
    fi
else
    # Installing is root's: other users get a skip only where apt's lists
    # of that architecture are there and have no such package.
    dpkg-checkbuilddeps || die "as root, scripts/test.sh installs them"
    for p in $missing; do
        case $p in
        *:*) arch=${p#*:} ;;
        *) arch=$(dpkg --print-architecture) ;;
        esac
        why=$(why_not "$p")
        if ls /var/lib/apt/lists/*_binary-"${arch}"_Packages* >/dev/null 2>&1 &&
            echo "$why" | grep -qE "has no installation candidate|Unable to locate package"; then
            unavailable="$unavailable$p: $why
"
        else
            not_installed="$not_installed $p"
        fi
    done
    [ -z "$not_installed" ] || die "not installed:$not_installed (as root, scripts/test.sh installs them)"
fi
printf '%s' "$unavailable" | sed 's/^/apt cannot install /'

tested=
for preset in $presets; do
    why=$(cannot_install $(compilers "$preset"))
    if [ -n "$why" ]; then
        echo "== $preset: skipped, $why"
        echo "preset $preset: $why" >>"$skips"
        continue
    fi
    echo "== $preset"
    cmake --preset "$preset" -DTAVO_WERROR=ON -DTAVO_UNAVAILABLE="$(printf '%s' "$unavailable" | tr '\n' ';')" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
    if [ "$preset" = fuzz ]; then
        fuzz/run.sh "${FUZZ_SECONDS:-10}"
    else
        ctest --preset "$preset" -j "$(nproc)"
        sed -n 's/^skipped: //p' "build/$preset/Testing/Temporary/LastTest.log" >>"$skips"
    fi
    tested="$tested $preset"
done

# The release of HEAD, from the programs that the presets above tested.
if [ "$tested" != " $presets" ]; then
    why="not every preset ran"
elif ! git rev-parse -q --verify HEAD >/dev/null 2>&1; then
    why="this is not a git checkout"
elif ! git diff --quiet HEAD --; then
    why="the tree has uncommitted changes"
else
    why=$(cannot_install $release_tools)
fi
if [ -z "$why" ]; then
    echo "== the release, cut twice from HEAD and checked as users receive it"
    tests/release/check_release.sh $tested
else
    echo "release check: $why" >>"$skips"
fi

skipped=$(sort -u "$skips" | awk '{ printf "%s%s", (NR > 1 ? "; " : ""), $0 }')
echo "== skipped: ${skipped:-nothing}"
