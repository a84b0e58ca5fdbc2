#!/bin/sh
# Cuts the release three times from clones of HEAD, in other folders and
# under another time zone, locale and umask, twice signed with a throwaway
# key, and checks it as users receive it: the same bytes every time, the
# signature good for gpgv with the public key alone and bad for a changed
# SHA256SUMS, sha256sum -c, lintian, hardening-check and mandoc clean, each
# zip's exe a proper Windows program beside the Windows user's README and
# manual, the source building with the README's first command, and the
# end-to-end table passing against the program of each package and each
# tarball, natively or under qemu-user, and under Wine each zip's exe.
# Last, a tree with changes, a version that disagrees or a key that cannot
# sign gets no release.
# usage: tests/release/check_release.sh
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
# Keys made here live and die here: never the caller's keyring.
export GNUPGHOME="$work/gnupg"
trap 'for p in "$work"/wine-*; do
    [ ! -d "$p" ] || WINEPREFIX=$p "$top/tests/windows/wine_session.sh" stop -; done
    gpgconf --kill gpg-agent 2>/dev/null || true
    rm -rf "$work"' EXIT
fail() {
    echo "release check: $*" >&2
    exit 1
}
version=$(sed -n 's/^project(tavoScribe VERSION \([0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")

# An Ed25519 key made a day before HEAD, so that it can sign at HEAD's time.
mkdir -m 700 "$GNUPGHOME"
keygen() { # NAME SECONDS-SINCE-1970
    gpg --batch --quiet --passphrase '' --pinentry-mode loopback \
        --faked-system-time "$(date -u -d "@$2" +%Y%m%dT%H%M%S)!" \
        --quick-gen-key "$1 <$1@localhost>" ed25519 sign never 2>/dev/null
}
keygen check $(($(git -C "$top" log -1 --format=%ct) - 86400))
gpg --batch --export check@localhost >"$work/key.gpg"

git clone -q "$top" "$work/a/tavoScribe"
# From another folder: a relative OUTDIR is that folder's.
(cd "$work" && a/tavoScribe/scripts/release.sh --sign check@localhost dist)
git clone -q "$top" "$work/b/another place"
(cd "$work/b/another place" && umask 077 && TZ=America/St_Johns LANG=de_DE.UTF-8 LC_ALL=C \
    scripts/release.sh --sign check@localhost out >/dev/null)
(cd "$work/a/tavoScribe" && scripts/release.sh "$work/unsigned" >/dev/null)
for f in "$work"/dist/*; do
    cmp "$f" "$work/b/another place/out/${f##*/}" || fail "${f##*/} differs between two releases"
done
cd "$work/dist"
[ "$(ls | wc -l)" = 11 ] || fail "the signed release is not eleven files: $(ls)"
[ "$(ls "$work/unsigned")" = "$(ls | grep -vx SHA256SUMS.asc)" ] || fail "signing changed the files"
for f in "$work"/unsigned/*; do
    cmp "$f" "${f##*/}" || fail "${f##*/} differs between a signed and an unsigned release"
done
gpgv --keyring "$work/key.gpg" SHA256SUMS.asc SHA256SUMS
awk 'NR == 1 { $0 = (substr($0, 1, 1) == "0" ? "1" : "0") substr($0, 2) } 1' SHA256SUMS >"$work/changed"
if gpgv --keyring "$work/key.gpg" SHA256SUMS.asc "$work/changed" 2>/dev/null; then
    fail "gpgv accepted a changed SHA256SUMS"
fi
sha256sum -c SHA256SUMS

# Each Linux program as users receive it, from its package and its tarball:
# Debian's architecture, the machine's uname -m, what runs its programs here.
for target in amd64:x86_64: arm64:aarch64:qemu-aarch64 armhf:armv7:qemu-arm; do
    arch=${target%%:*} machine=${target#*:} emulator=${target##*:}
    machine=${machine%:*} deb=$(echo tavoscribe_"$version"-*_"$arch".deb)
    echo "== the $arch package: $(dpkg-deb -f "$deb" Depends)"
    lintian --fail-on error,warning "$deb"
    dpkg-deb -x "$deb" "$work/$arch"
    for f in usr/bin/tavoScribe usr/share/man/man1/tavoScribe.1.gz usr/share/doc/tavoscribe/copyright; do
        [ -f "$work/$arch/$f" ] || fail "the $arch package lacks /$f"
    done
    # What Debian's hardening flags promise on that architecture.
    features="Position Independent Executable:Stack protected:Read-only relocations:Immediate binding"
    dpkg-architecture -a "$arch" -c dpkg-buildflags --get CXXFLAGS 2>/dev/null |
        grep -q mbranch-protection && features="$features:Branch Protection"
    hardening=$(hardening-check "$work/$arch/usr/bin/tavoScribe" 2>/dev/null || true)
    echo "$hardening"
    (IFS=:; for feature in $features; do
        echo "$hardening" | grep -q "$feature: yes" || fail "hardening-check, $arch: no $feature"
    done)
    mandoc -T lint -W warning "$work/$arch/usr/share/man/man1/tavoScribe.1.gz"
    python3 "$top/tests/cli/run_cases.py" -- $emulator "$work/$arch/usr/bin/tavoScribe"

    echo "== the $machine tarball"
    linux=tavoScribe-$version-linux-$machine
    tar -C "$work" -xzf "$linux.tar.gz"
    [ "$(cd "$work/$linux" && ls | tr '\n' ' ')" = "LICENSE README.md tavoScribe tavoScribe.1 " ] ||
        fail "the $machine tarball holds $(ls "$work/$linux")"
    file "$work/$linux/tavoScribe" | grep -q "statically linked.*stripped" ||
        fail "the $machine tarball's program is not static and stripped"
    mandoc -T lint -W warning "$work/$linux/tavoScribe.1"
    python3 "$top/tests/cli/run_cases.py" -- $emulator "$work/$linux/tavoScribe"
done

# Each zip as users receive it; each exe run under its Wine loader where
# this host can start it (a kernel that runs no 32-bit code cannot).
for python in python3 /usr/bin/python3; do
    "$python" -c "import pefile" 2>/dev/null && break
done
for kind in win32:wine win64:wine64; do
    loader=/usr/lib/wine/${kind#*:} kind=${kind%:*}
    echo "== the $kind zip"
    mkdir "$work/$kind" && (cd "$work/$kind" && unzip -q "$work/dist/"*-$kind.zip)
    [ "$(cd "$work/$kind" && ls | tr '\n' ' ')" = "LICENSE.txt README.txt tavoScribe.exe tavoScribe.html " ] ||
        fail "the $kind zip holds $(ls "$work/$kind")"
    for f in README.txt LICENSE.txt; do
        [ "$(grep -c "$(printf '\r')\$" "$work/$kind/$f")" = "$(wc -l <"$work/$kind/$f")" ] ||
            fail "$f has lines without CR LF"
    done
    # Written for a Windows user: how to leave a prompt, run the program
    # from PowerShell and read its status; nothing of how it is built.
    for says in "Control-Z" '.\tavoScribe.exe' '%ERRORLEVEL%' '$LASTEXITCODE'; do
        grep -qF "$says" "$work/$kind/README.txt" || fail "the $kind zip's README.txt lacks $says"
    done
    ! grep -qiE "wine|cmake" "$work/$kind/README.txt" || fail "the $kind zip's README.txt names Wine or CMake"
    grep -q "<title>TAVOSCRIBE(1)</title>" "$work/$kind/tavoScribe.html" ||
        fail "the $kind zip's tavoScribe.html is not the manual"
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

# In the clone whose release lies in its tree, which is no change.
echo "== bad input: one line, and no file written"
c="$work/b/another place"
refuse() { # WHAT-THE-LINE-NAMES [OPTIONS]
    what=$1
    shift
    if "$c/scripts/release.sh" "$@" "$work/refused" 2>"$work/err" >/dev/null; then
        fail "released despite $what"
    fi
    [ "$(wc -l <"$work/err")" = 1 ] && grep -q "$what" "$work/err" && [ ! -e "$work/refused" ] ||
        fail "a refusal for $what said: $(cat "$work/err")"
    cat "$work/err"
}
commit() { git -C "$c" -c user.name=check -c user.email=check@localhost commit -qam "$1"; }
echo >>"$c/README.md"
refuse "uncommitted changes"
git -C "$c" checkout -q README.md
sed -i '1s/([^)]*)/(0.0.1-1)/' "$c/debian/changelog"
commit "an older version"
refuse "debian/changelog is at 0.0.1-1"
git -C "$c" reset -q --hard HEAD~1
sed -i '3i ## 9.9.9 (2099-01-01)\n' "$c/CHANGELOG.md"
commit "a newer entry on top"
refuse "CHANGELOG.md's newest entry is 9.9.9"
git -C "$c" reset -q --hard HEAD~1
echo "Version 0.9.9 and older." >>"$c/windows/README.txt"
commit "a stale version"
refuse "windows/README.txt names version 0.9.9"
git -C "$c" reset -q --hard HEAD~1
refuse "no secret key" --sign nobody@localhost
keygen late "$(date +%s)"
refuse "late was made after the release commit" --sign late
echo "release check: all passed"
