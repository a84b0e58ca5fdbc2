#!/bin/sh
# Cuts the release of the committed tree: writes the files that users
# download to OUTDIR, or nothing at all. OUTDIR is taken from the folder the
# script is started in; without it, the files go to dist/ in the tree.
#   tavoScribe-V-win32.zip            tavoScribe.exe, README.txt, the manual
#   tavoScribe-V-win64.zip            as HTML, LICENSE.txt; 32- and 64-bit
#   tavoScribe-V-linux-M.tar.gz       static binary, manual page, README,
#                                     LICENSE, for M = x86_64, aarch64, armv7
#   tavoscribe_V-1_A.deb              built by dpkg-buildpackage from debian/,
#                                     for A = amd64, arm64, armhf
#   tavoScribe-V.tar.gz               the source (git archive)
#   SHA256SUMS                        over the nine
#   SHA256SUMS.asc                    with --sign KEY: gpg's detached,
#                                     ASCII-armoured signature over SHA256SUMS
# Every file is byte-reproducible: archives and the signature take their
# times from the release commit (SOURCE_DATE_EPOCH), archives with fixed
# owners, modes and order. The version is the one in CMakeLists.txt's
# project(); the files that state it again must agree with it.
# usage: scripts/release.sh [--sign KEY] [OUTDIR]
set -eu
die() {
    echo "release: $*" >&2
    exit 1
}
key=
if [ "${1:-}" = --sign ]; then
    [ $# -ge 2 ] || die "usage: scripts/release.sh [--sign KEY] [OUTDIR]"
    key=$2
    shift 2
fi
[ $# -le 1 ] || die "usage: scripts/release.sh [--sign KEY] [OUTDIR]"
here=$PWD
cd "$(dirname "$0")/.."
top=$(pwd -P)
out=$(cd "$here" && realpath -m "${1:-$top/dist}")
# The same bytes whatever the caller's clock, zone, locale and umask.
export TZ=UTC LC_ALL=C.UTF-8
umask 022

for tool in git cmake make g++ i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ \
    aarch64-linux-gnu-g++ arm-linux-gnueabihf-g++ zip mandoc dpkg-buildpackage dh \
    dpkg-checkbuilddeps tar gzip sha256sum ${key:+gpg}; do
    command -v "$tool" >/dev/null 2>&1 ||
        die "$tool is missing (scripts/test.sh installs every tool the release needs)"
done
# A folder of releases cut before (it holds a SHA256SUMS) is no change.
changes=$(git status --porcelain | while IFS= read -r line; do
    [ "${line%% *}" = "??" ] && [ -f "${line#?? }SHA256SUMS" ] || echo "$line"
done)
[ -z "$changes" ] || die "the tree has uncommitted changes: a release is made from a commit"

version=$(sed -n 's/^project(tavoScribe VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "no version in CMakeLists.txt's project()"
deb_version=$(dpkg-parsechangelog -S Version)
[ "${deb_version%-*}" = "$version" ] ||
    die "debian/changelog is at $deb_version but project() at $version"
newest=$(sed -n 's/^## \([^ ]*\) (\([0-9-]*\)).*/\1 \2/p' CHANGELOG.md | head -n 1)
[ "${newest% *}" = "$version" ] ||
    die "CHANGELOG.md's newest entry is ${newest%% *}, not $version"
grep -q "^\.Os tavoScribe $version\$" man/tavoScribe.1 ||
    die "man/tavoScribe.1 does not say .Os tavoScribe $version"
dated=$(LC_ALL=C date -d "${newest#* }" '+%B %-d, %Y')
grep -q "^\.Dd $dated\$" man/tavoScribe.1 ||
    die "man/tavoScribe.1 is not dated .Dd $dated, as CHANGELOG.md's newest entry"
# A document that names a version names this one: a bump leaves none behind.
for doc in README.md CONTRIBUTING.md windows/README.txt man/tavoScribe.1; do
    other=$(grep -ohE '\b[0-9]+\.[0-9]+\.[0-9]+\b' "$doc" | grep -vxF "$version" | head -n 1)
    [ -z "$other" ] || die "$doc names version $other, not $version"
done

native=$(dpkg --print-architecture)
for arch in amd64 arm64 armhf; do
    [ "$arch" = "$native" ] && profile= || profile=nocheck
    dpkg-checkbuilddeps -a "$arch" ${profile:+-P "$profile"} 2>/dev/null ||
        die "the $arch package's build dependencies are missing: $(dpkg-checkbuilddeps -a "$arch" ${profile:+-P "$profile"} 2>&1 | sed 's/.*: //')"
    # Its dependencies come from that architecture's C library.
    [ "$arch" = "$native" ] || dpkg-query -W -f='${Status}' "libc6-dev:$arch" 2>/dev/null |
        grep -q "ok installed" || die "libc6-dev:$arch is missing (scripts/test.sh installs it)"
done

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"

# Signs at the release commit's time, so that the same commit and key give
# the same signature; only the keyring's key, never the caller's gpg.conf.
sign() {
    gpg --no-options --batch --quiet --armor --detach-sign --yes \
        ${pinentry:+--pinentry-mode "$pinentry"} --local-user "$key" \
        --faked-system-time "$(date -d "@$SOURCE_DATE_EPOCH" +%Y%m%dT%H%M%S)!" "$@"
}
if [ -n "$key" ]; then
    made=$(gpg --no-options --batch --with-colons --list-secret-keys -- "$key" 2>/dev/null |
        awk -F: '($1 == "sec" || $1 == "ssb") && $12 ~ /s/ { print $6 }' | sort -n | head -n 1)
    [ -n "$made" ] || die "no secret key in ${GNUPGHOME:-~/.gnupg} can sign as $key"
    [ "$made" -le "$SOURCE_DATE_EPOCH" ] ||
        die "$key was made after the release commit, so it cannot sign at that commit's time: sign a commit made after $(date -d "@$made" '+%Y-%m-%d %H:%M:%S') UTC"
    # Asks for a passphrase at a terminal only; elsewhere gpg must not wait.
    [ -t 0 ] && pinentry= || pinentry=error
    sign -o "$work/signed" /dev/null 2>"$work/log" ||
        die "gpg cannot sign as $key: $(grep -v 'faked system time' "$work/log" | tail -n 1 | sed 's/^gpg: //')"
fi

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
files=$name.tar.gz
step "source $name.tar.gz" sh -c "git archive --format=tar --prefix=$name/ HEAD | gzip -n -9 >'$work/out/$name.tar.gz'"
# Everything else is built from that source, as a user without git would.
tar -C "$work" -xzf "$work/out/$name.tar.gz"
src=$work/$name

# The static Linux programs: this machine's and ARM's, by their uname -m.
for build in "release:$(uname -m)" linux-arm64:aarch64 linux-armhf:armv7; do
    preset=${build%:*} linux=$name-linux-${build#*:}
    step "$linux.tar.gz" sh -c "cd '$src' &&
        cmake --preset $preset -DBUILD_TESTING=OFF &&
        cmake --build --preset $preset &&
        cmake --install build/$preset --prefix '$work/install-$preset' --strip"
    mkdir "$work/$linux"
    cp "$work/install-$preset/bin/tavoScribe" "$work/install-$preset/share/man/man1/tavoScribe.1" \
        "$src/README.md" "$src/LICENSE" "$work/$linux/"
    tar_gz "$work/out/$linux.tar.gz" "$work" "$linux"
    files="$files $linux.tar.gz"
done

for preset in windows:win32 windows64:win64; do
    zip=$name-${preset#*:}.zip preset=${preset%:*}
    step "$zip" sh -c "cd '$src' &&
        cmake --preset $preset -DBUILD_TESTING=OFF &&
        cmake --build --preset $preset"
    cp "$src/build/$preset/$zip" "$work/out/"
    files="$files $zip"
done

# The packages, each built the Debian way; those for other architectures
# with Debian's cross compilers, without their tests.
mkdir "$work/deb"
tar -C "$work/deb" -xzf "$work/out/$name.tar.gz"
for arch in amd64 arm64 armhf; do
    deb=tavoscribe_${deb_version}_$arch.deb
    [ "$arch" = "$native" ] && profile= || profile=nocheck
    step "$deb" sh -c "cd '$work/deb/$name' &&
        DEB_BUILD_OPTIONS='${DEB_BUILD_OPTIONS:-} noddebs $profile' \
        dpkg-buildpackage -us -uc -b -a$arch ${profile:+-P$profile}"
    cp "$work/deb/$deb" "$work/out/"
    files="$files $deb"
done

# shellcheck disable=SC2086
(cd "$work/out" && sha256sum $files >SHA256SUMS)
files="$files SHA256SUMS"
if [ -n "$key" ]; then
    step "SHA256SUMS.asc, signed as $key" sign -o "$work/out/SHA256SUMS.asc" "$work/out/SHA256SUMS"
    files="$files SHA256SUMS.asc"
fi
mkdir -p "$out"
for f in $files; do
    mv "$work/out/$f" "$out/"
done
echo "release: $version in $out:"
(cd "$out" && cat SHA256SUMS)
