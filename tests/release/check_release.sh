#!/bin/sh
# Cuts the release twice from clones of HEAD, in other folders and under
# another time zone, locale and umask, and checks it as users receive it:
# the same bytes both times, sha256sum -c, lintian, hardening-check and
# mandoc clean, each zip's exe a proper Windows program, the source building
# with the README's first command, and the end-to-end table passing against
# the binary of the .deb and of the tarball, and under Wine each zip's exe.
# Last, a tree with changes or a version that disagrees gets no release.
# usage: tests/release/check_release.sh
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'for p in "$work"/wine-*; do
    [ ! -d "$p" ] || WINEPREFIX=$p "$top/tests/windows/wine_session.sh" stop -; done
    rm -rf "$work"' EXIT
fail() {
    echo "release check: $*" >&2
    exit 1
}

git clone -q "$top" "$work/a/tavoScribe"
"$work/a/tavoScribe/scripts/release.sh" "$work/dist"
git clone -q "$top" "$work/b/another place"
(umask 077 && TZ=America/St_Johns LANG=de_DE.UTF-8 LC_ALL=C \
    "$work/b/another place/scripts/release.sh" "$work/again" >/dev/null)
for f in "$work"/dist/*; do
    cmp "$f" "$work/again/${f##*/}" || fail "${f##*/} differs between two releases"
done
cd "$work/dist"
[ "$(ls | wc -l)" = 6 ] || fail "the release is not six files: $(ls)"
sha256sum -c SHA256SUMS

echo "== the Debian package: $(dpkg-deb -f ./*.deb Depends)"
lintian --fail-on error,warning ./*.deb
dpkg-deb -x ./*.deb "$work/deb"
for f in usr/bin/tavoScribe usr/share/man/man1/tavoScribe.1.gz usr/share/doc/tavoscribe/copyright; do
    [ -f "$work/deb/$f" ] || fail "the package lacks /$f"
done
hardening=$(hardening-check "$work/deb/usr/bin/tavoScribe" || true)
echo "$hardening"
for feature in "Position Independent Executable" "Stack protected" \
    "Read-only relocations" "Immediate binding"; do
    echo "$hardening" | grep -q "$feature: yes" || fail "hardening-check: no $feature"
done
mandoc -T lint -W warning "$work/deb/usr/share/man/man1/tavoScribe.1.gz"
python3 "$top/tests/cli/run_cases.py" -- "$work/deb/usr/bin/tavoScribe"

echo "== the Linux tarball"
tar -C "$work" -xzf ./*-linux-*.tar.gz
linux=$(echo "$work"/tavoScribe-*-linux-*)
[ "$(cd "$linux" && ls | tr '\n' ' ')" = "LICENSE README.md tavoScribe tavoScribe.1 " ] ||
    fail "the tarball holds $(ls "$linux")"
file "$linux/tavoScribe" | grep -q "statically linked.*stripped" || fail "not a static stripped binary"
mandoc -T lint -W warning "$linux/tavoScribe.1"
python3 "$top/tests/cli/run_cases.py" -- "$linux/tavoScribe"

# Each zip as users receive it; each exe run under its Wine loader where
# this host can start it (a kernel that runs no 32-bit code cannot).
version=$(ls ./*-win32.zip | sed 's/.*tavoScribe-\(.*\)-win32.zip/\1/')
for python in python3 /usr/bin/python3; do
    "$python" -c "import pefile" 2>/dev/null && break
done
for kind in win32:wine win64:wine64; do
    loader=/usr/lib/wine/${kind#*:} kind=${kind%:*}
    echo "== the $kind zip"
    mkdir "$work/$kind" && (cd "$work/$kind" && unzip -q "$work/dist/"*-$kind.zip)
    [ "$(cd "$work/$kind" && ls | tr '\n' ' ')" = "LICENSE.txt README.txt tavoScribe.exe " ] ||
        fail "the $kind zip holds $(ls "$work/$kind")"
    for f in README.txt LICENSE.txt; do
        [ "$(grep -c "$(printf '\r')\$" "$work/$kind/$f")" = "$(wc -l <"$work/$kind/$f")" ] ||
            fail "$f has lines without CR LF"
    done
    "$python" "$top/tests/windows/pe_check.py" "$work/$kind/tavoScribe.exe" "$version" "$kind"
    if why=$(exec "$loader" --version 2>&1 >/dev/null); then
        export WINEPREFIX="$work/wine-$kind" WINEDEBUG=-all
        "$top/tests/windows/wine_session.sh" start "$loader"
        python3 "$top/tests/cli/run_cases.py" --platform windows -- "$loader" "$work/$kind/tavoScribe.exe"
        "$top/tests/windows/wine_session.sh" stop "$loader"
    else
        echo "skipped: the $kind zip's exe under Wine: this host cannot start $loader${why:+ ($why)}"
    fi
done

echo "== the source, without git, by the README's first command"
tar -C "$work" -xzf "tavoScribe-$version.tar.gz"
quick_start=$(grep -m1 '^cmake --preset release && ' "$work/tavoScribe-$version/README.md")
(cd "$work/tavoScribe-$version" && sh -c "$quick_start") | grep -q "^1234567897D<<8501019" ||
    fail "the README's first command did not print the worked example"
echo "== bad input: one line, and no file written"
refuse() { # WHAT the one line must name
    if "$work/c/scripts/release.sh" "$work/refused" 2>"$work/err" >/dev/null; then
        fail "released despite $1"
    fi
    [ "$(wc -l <"$work/err")" = 1 ] && grep -q "$1" "$work/err" && [ ! -e "$work/refused" ] ||
        fail "a refusal for $1 said: $(cat "$work/err")"
    cat "$work/err"
}
git clone -q "$top" "$work/c"
echo >>"$work/c/README.md"
refuse "uncommitted changes"
git -C "$work/c" checkout -q README.md
sed -i '1s/([^)]*)/(0.0.1-1)/' "$work/c/debian/changelog"
git -C "$work/c" -c user.name=check -c user.email=check@localhost commit -qam "an older version"
refuse "debian/changelog is at 0.0.1-1"
git -C "$work/c" reset -q --hard HEAD~1
sed -i '3i ## 9.9.9 (2099-01-01)\n' "$work/c/CHANGELOG.md"
git -C "$work/c" -c user.name=check -c user.email=check@localhost commit -qam "a newer entry on top"
refuse "CHANGELOG.md's newest entry is 9.9.9"
echo "release check: all passed"
