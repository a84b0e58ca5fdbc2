#!/bin/sh
# Cuts the release of the committed tree: writes the six files that users
# download to OUTDIR (default dist/), or nothing at all.
#   tavoScribe-V-win32.zip          tavoScribe.exe, README.txt, LICENSE.txt
#   tavoScribe-V-win64.zip          the same, with the 64-bit tavoScribe.exe
#   tavoScribe-V-linux-x86_64.tar.gz  static binary, manual page, README, LICENSE
#   tavoscribe_V-1_amd64.deb        built by dpkg-buildpackage from debian/
#   tavoScribe-V.tar.gz             the source (git archive)
#   SHA256SUMS                      over the five
# Every file is byte-reproducible: archives take their times from the
# release commit (SOURCE_DATE_EPOCH), with fixed owners, modes and order.
# The version is the one in CMakeLists.txt's project(); debian/changelog,
# the newest entry of CHANGELOG.md and the manual page must agree with it.
# usage: scripts/release.sh [OUTDIR]
set -eu
cd "$(dirname "$0")/.."
out=${1:-dist}
# The same bytes whatever the caller's clock, zone, locale and umask.
export TZ=UTC LC_ALL=C.UTF-8
umask 022

die() {
    echo "release: $*" >&2
    exit 1
}

for tool in git cmake make g++ i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ zip dpkg-buildpackage dh \
    dpkg-checkbuilddeps tar gzip sha256sum; do
    command -v "$tool" >/dev/null 2>&1 ||
        die "$tool is missing (scripts/test.sh installs every tool the release needs)"
done
[ -z "$(git status --porcelain)" ] ||
    die "the tree has uncommitted changes: a release is made from a commit"
version=$(sed -n 's/^project(tavoScribe VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "no version in CMakeLists.txt's project()"
deb_version=$(dpkg-parsechangelog -S Version)
[ "${deb_version%-*}" = "$version" ] ||
    die "debian/changelog is at $deb_version but project() at $version"
newest=$(sed -n 's/^## \([^ ]*\).*/\1/p' CHANGELOG.md | head -n 1)
[ "$newest" = "$version" ] ||
    die "CHANGELOG.md's newest entry is ${newest:-missing}, not $version"
grep -q "^\.Os tavoScribe $version\$" man/tavoScribe.1 ||
    die "man/tavoScribe.1 does not say .Os tavoScribe $version"
dpkg-checkbuilddeps 2>/dev/null ||
    die "the Debian package's build dependencies are missing: $(dpkg-checkbuilddeps 2>&1 | sed 's/.*: //')"

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"

# Runs a step with its output kept aside: shown only when the step fails.
step() {
    echo "release: $1"
    shift
    "$@" >"$work/log" 2>&1 || {
        tail -n 30 "$work/log" >&2
        die "failed: $*"
    }
}

# Fixed order, owners, modes and times; gzip without name or time stamp.
tar_gz() { # ARCHIVE DIR NAME
    tar -C "$2" --sort=name --owner=0 --group=0 --numeric-owner \
        --mtime="@$SOURCE_DATE_EPOCH" --mode=u=rwX,go=rX --format=gnu \
        -cf - "$3" | gzip -n -9 >"$1"
}

name=tavoScribe-$version
source_tgz=$work/out/$name.tar.gz
step "source $name.tar.gz" sh -c "git archive --format=tar --prefix=$name/ HEAD | gzip -n -9 >'$source_tgz'"
# Everything else is built from that source, as a user without git would.
tar -C "$work" -xzf "$source_tgz"
src=$work/$name

linux=$name-linux-$(uname -m)
step "$linux.tar.gz" sh -c "cd '$src' &&
    cmake --preset release -DBUILD_TESTING=OFF &&
    cmake --build --preset release &&
    cmake --install build/release --prefix '$work/install' --strip"
mkdir "$work/$linux"
cp "$work/install/bin/tavoScribe" "$work/install/share/man/man1/tavoScribe.1" \
    "$src/README.md" "$src/LICENSE" "$work/$linux/"
tar_gz "$work/out/$linux.tar.gz" "$work" "$linux"

for preset in windows:win32 windows64:win64; do
    zip=$name-${preset#*:}.zip preset=${preset%:*}
    step "$zip" sh -c "cd '$src' &&
        cmake --preset $preset -DBUILD_TESTING=OFF &&
        cmake --build --preset $preset"
    cp "$src/build/$preset/$zip" "$work/out/"
done

deb=tavoscribe_${deb_version}_$(dpkg --print-architecture).deb
mkdir "$work/deb"
tar -C "$work/deb" -xzf "$source_tgz"
step "$deb" sh -c "cd '$work/deb/$name' &&
    DEB_BUILD_OPTIONS='${DEB_BUILD_OPTIONS:-} noddebs' dpkg-buildpackage -us -uc -b"
cp "$work/deb/$deb" "$work/out/"

files="$name-win32.zip $name-win64.zip $linux.tar.gz $deb $name.tar.gz"
# shellcheck disable=SC2086
(cd "$work/out" && sha256sum $files >SHA256SUMS)
mkdir -p "$out"
for f in $files SHA256SUMS; do
    mv "$work/out/$f" "$out/"
done
echo "release: $version in $out:"
(cd "$out" && cat SHA256SUMS)
