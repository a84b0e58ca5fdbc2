#!/bin/sh
# Cuts the release of the committed tree: writes the five files that users
# download to OUTDIR (default dist/), or nothing at all.
#   tavoScribe-V-win32.zip          tavoScribe.exe, README.txt, LICENSE.txt
#   tavoScribe-V-linux-x86_64.tar.gz  static binary, manual page, README, LICENSE
#   tavoscribe_V-1_amd64.deb        built by dpkg-buildpackage from debian/
#   tavoScribe-V.tar.gz             the source (git archive)
#   SHA256SUMS                      over the four
# Every file is byte-reproducible: archives take their times from the
# release commit (SOURCE_DATE_EPOCH), with fixed owners, modes and order.
# The version is the one in CMakeLists.txt's project().
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

for tool in git cmake make g++ i686-w64-mingw32-g++ zip dpkg-buildpackage dh \
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
grep -q "^## $version " CHANGELOG.md || die "CHANGELOG.md has no entry for $version"
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

step "$name-win32.zip" sh -c "cd '$src' &&
    cmake --preset windows -DBUILD_TESTING=OFF &&
    cmake --build --preset windows"
cp "$src/build/windows/$name-win32.zip" "$work/out/"

deb=tavoscribe_${deb_version}_$(dpkg --print-architecture).deb
mkdir "$work/deb"
tar -C "$work/deb" -xzf "$source_tgz"
step "$deb" sh -c "cd '$work/deb/$name' &&
    DEB_BUILD_OPTIONS='${DEB_BUILD_OPTIONS:-} noddebs' dpkg-buildpackage -us -uc -b"
cp "$work/deb/$deb" "$work/out/"

(cd "$work/out" && sha256sum "$name-win32.zip" "$linux.tar.gz" "$deb" "$name.tar.gz" >SHA256SUMS)
mkdir -p "$out"
for f in "$name-win32.zip" "$linux.tar.gz" "$deb" "$name.tar.gz" SHA256SUMS; do
    mv "$work/out/$f" "$out/"
done
echo "release: $version in $out:"
(cd "$out" && cat SHA256SUMS)
