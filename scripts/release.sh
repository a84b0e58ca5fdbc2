#!/bin/sh
# Cuts the release of HEAD into OUTDIR, new or empty (dist/ in the tree by
# default), or writes nothing. CONTRIBUTING.md, "Cutting a release", tells
# what it writes and what each file that states the version must say.
# usage: scripts/release.sh [--sign KEY] [--] [OUTDIR]
set -eu
die() {
    echo "release: $*" >&2
    exit 1
}

usage="usage: scripts/release.sh [--sign KEY] [--] [OUTDIR]"
key=
if [ "${1:-}" = --sign ] && [ $# -ge 2 ]; then
    key=$2
    shift 2
fi
case ${1:-} in
--) shift ;;
-*) die "$usage" ;;
esac
[ $# -le 1 ] || die "$usage"
out=$(realpath -m -- "${1:-$(dirname "$0")/../dist}")
# One cut to a folder: files of an earlier one would pass for this one's.
if [ -e "$out" ]; then
    [ -d "$out" ] || die "$out is not a folder"
    files=$(ls -A -- "$out" 2>&1) || die "$out cannot be read: $files"
    [ -z "$files" ] || die "$out is not empty: a release goes into a new or empty folder"
fi
cd "$(dirname "$0")/.."
changes=$(git status --porcelain -uno 2>&1) || die "git: $(echo "$changes" | head -n 1)"
[ -z "$changes" ] || die "the tree has uncommitted changes: a release is cut from a commit"

# The rest in a clean environment, which none of the caller's compilers,
# flags, clock zone, locale, umask or settings reach, but gpg's, to find the
# key and passphrase.
set -- "$out" "$key"
for name in $(env | sed -n '/^\(HOME\|GNUPGHOME\|GPG_TTY\|TERM\)=/d; s/^\([A-Za-z_][A-Za-z0-9_]*\)=.*/\1/p'); do
    unset "$name"
done
export PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 TZ=UTC XDG_CONFIG_HOME=/nonexistent \
    GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1
out=$1 key=$2
umask 022

[ "$(dpkg --print-architecture)" = amd64 ] || die "a release is cut on x86-64 (amd64) Debian"
version=$(git show HEAD:CMakeLists.txt | sed -n 's/^project(tavoScribe VERSION \([0-9.]*\) .*/\1/p')
[ -n "$version" ] || die "no version in CMakeLists.txt's project()"
name=tavoScribe-$version
work=$(mktemp -d) stage=
trap 'rm -rf "$work" ${stage:+"$stage"}' EXIT
mkdir "$work/out" "$work/deb"
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
git archive --prefix="$name/" HEAD | tar -x -C "$work"
cd "$work/$name"

deb_version=$(dpkg-parsechangelog -S Version)
[ "${deb_version%-*}" = "$version" ] ||
    die "debian/changelog is at $deb_version but project() at $version"
newest=$(grep -m 1 '^## ' CHANGELOG.md || true)
day=$(echo "$newest" | sed -n "s/^## $version (\([0-9]*-[0-9]*-[0-9]*\))\$/\1/p")
[ -n "$day" ] ||
    die "CHANGELOG.md's newest entry is \"${newest#"## "}\", not \"$version (YYYY-MM-DD)\""
dated=$(date -d "$day" '+%B %-d, %Y')
for page in man/tavoScribe.1 man/tavoScribe-cards.1; do
    grep -qxF ".Os tavoScribe $version" $page || die "$page does not say .Os tavoScribe $version"
    grep -qxF ".Dd $dated" $page || die "$page is not dated .Dd $dated, as CHANGELOG.md's newest entry"
done
# A document that names a version names this one: a bump leaves none behind.
for doc in README.md CONTRIBUTING.md SIGNING.md windows/README.txt man/tavoScribe.1 man/tavoScribe-cards.1; do
    other=$(grep -ohE '\b[0-9]+\.[0-9]+\.[0-9]+\b' "$doc" | grep -vxF "$version" | head -n 1)
    [ -z "$other" ] || die "$doc names version $other, not $version"
done

# With the keyring's key, not gpg.conf; a passphrase asked for at a terminal
# only. A key that cannot sign is refused before anything is built.
sign() {
    gpg --no-options --batch --quiet --armor --detach-sign --yes \
        ${pinentry:+--pinentry-mode "$pinentry"} --local-user "$key" "$@"
}
if [ -n "$key" ]; then
    [ -t 0 ] && pinentry= || pinentry=error
    sign -o "$work/trial" /dev/null 2>"$work/log" ||
        die "gpg cannot sign as $key: $(tail -n 1 "$work/log" | sed 's/^gpg: //')"
fi

# Runs a step with its output kept aside: shown only when the step fails.
step() { # WHAT COMMAND...
    echo "release: $1"
    shift
    "$@" >"$work/log" 2>&1 || {
        tail -n 30 "$work/log" >&2
        die "failed: $*"
    }
}
build() { # PRESET
    cmake --preset "$1" -DBUILD_TESTING=OFF && cmake --build --preset "$1"
}
package() { # ARCH: the Debian way, from the source as released
    (cd "$work/deb/$name" && DEB_BUILD_OPTIONS="nocheck noddebs" \
        dpkg-buildpackage -us -uc -b -a"$1" -Pnocheck)
}
# Fixed order, owners, modes and times; gzip without name or time stamp.
tar_gz() { # NAME: the folder NAME in $work as $work/out/NAME.tar.gz
    tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner \
        --mtime="@$SOURCE_DATE_EPOCH" --mode=u=rwX,go=rX --format=gnu \
        -cf - "$1" | gzip -n -9 >"$work/out/$1.tar.gz"
}

echo "release: $name.tar.gz"
tar_gz "$name"
tar -C "$work/deb" -xzf "$work/out/$name.tar.gz"
for target in release:x86_64 linux-arm64:aarch64 linux-armhf:armv7; do
    preset=${target%:*} linux=$name-linux-${target#*:}
    step "$linux.tar.gz" build "$preset"
    mkdir "$work/$linux"
    cp build/"$preset"/tavoScribe build/"$preset"/tavoScribe-cards man/tavoScribe.1 man/tavoScribe-cards.1 \
        README.md LICENSE "$work/$linux/"
    tar_gz "$linux"
done
for target in windows:win32 windows64:win64; do
    preset=${target%:*} zip=$name-${target#*:}.zip dir=$work/${target#*:}
    step "$zip" build "$preset"
    mkdir "$dir"
    # Each program with its manual, as a page Windows opens that links the other.
    for program in tavoScribe tavoScribe-cards; do
        cp "build/$preset/$program.exe" "$dir/"
        mandoc -T html -O man=%N.html "man/$program.1" >"$dir/$program.html"
    done
    # The texts with CR LF, for Notepad.
    sed 's/$/\r/' windows/README.txt >"$dir/README.txt"
    sed 's/$/\r/' LICENSE >"$dir/LICENSE.txt"
    # Info-ZIP with -X stores no owner and no access or change times, only
    # each entry's DOS date: the release commit's, in UTC.
    touch -d "@$SOURCE_DATE_EPOCH" "$dir"/*
    (cd "$dir" && zip -q -X -D -9 "$work/out/$zip" tavoScribe.exe tavoScribe-cards.exe README.txt \
        tavoScribe.html tavoScribe-cards.html LICENSE.txt)
done
for arch in amd64 arm64 armhf; do
    step "tavoscribe_${deb_version}_$arch.deb" package "$arch"
    cp "$work/deb/tavoscribe_${deb_version}_$arch.deb" "$work/out/"
done

cd "$work/out"
sha256sum -- * >SHA256SUMS
[ -z "$key" ] || step "SHA256SUMS.asc, signed as $key" sign -o SHA256SUMS.asc SHA256SUMS
# Into OUTDIR by one rename, which fails where OUTDIR is no longer empty: a
# release overwrites no file, and a failure leaves the folder as it was.
mkdir -p "$(dirname "$out")"
stage=$(mktemp -d "$(dirname "$out")/.release.XXXXXX")
chmod 755 "$stage"
cp -- * "$stage/"
mv -T -- "$stage" "$out" 2>"$work/log" || die "$(cat "$work/log")"
echo "release: $version in $out:"
cat "$out/SHA256SUMS"
