#!/bin/sh
# Cuts the release of HEAD twice and checks what only a release can show,
# against the PRESETs that this run of the test command tested.
# usage: tests/release/check_release.sh PRESET...
set -eu
fail() {
    echo "release check: $*" >&2
    exit 1
}
top=$(cd "$(dirname "$0")/../.." && pwd)
presets="$*"
work=$(mktemp -d)
# Keys made here live and die here: never the caller's keyring.
export GNUPGHOME="$work/gnupg"
trap 'gpgconf --kill gpg-agent 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -m 700 "$GNUPGHOME"
gpg --batch --quiet --passphrase '' --quick-gen-key 'check <check@localhost>' ed25519 sign never
gpg --batch --export check@localhost >"$work/key.gpg"

# Two cuts side by side: signed with a key made now, into a relative OUTDIR;
# and unsigned, under another clock zone, locale, umask, environment and git.
git clone -q "$top" "$work/a/tavoScribe"
(cd "$work" && a/tavoScribe/scripts/release.sh --sign check@localhost dist) >"$work/a.log" 2>&1 &
first=$!
printf '[tar]\n\tumask = user\n[core]\n\tautocrlf = true\n' >"$work/gitconfig"
b="$work/b/another place"
(
    umask 077
    export GIT_CONFIG_GLOBAL="$work/gitconfig" TZ=America/St_Johns LC_ALL=POSIX
    export CXXFLAGS=-O0 CMAKE_GENERATOR=Ninja DEB_BUILD_OPTIONS=noopt GZIP=-1 SOURCE_DATE_EPOCH=0
    git clone -q "$top" "$b"
    cd "$b" && scripts/release.sh out
) >"$work/b.log" 2>&1 || fail "the second cut failed: $(tail -n 30 "$work/b.log")"
wait "$first" || fail "the first cut failed: $(tail -n 30 "$work/a.log")"
cat "$work/a.log"

# The same bytes both times but the signature, good by the public key alone.
cd "$work/dist"
diff -r -x SHA256SUMS.asc "$b/out" . || fail "the two cuts differ"
gpgv --keyring "$work/key.gpg" SHA256SUMS.asc SHA256SUMS
# README.md names every download, and no other.
version=$(ls tavoScribe-*.tar.gz | sed -n 's/^tavoScribe-\([0-9.]*\)\.tar\.gz$/\1/p')
ls | sed "s/$version/VERSION/" | sort >"$work/released"
grep -oE '(tavoScribe|tavoscribe)[-_]VERSION[-_.A-Za-z0-9]*[A-Za-z]|SHA256SUMS(\.asc)?' \
    "$top/README.md" | sort -u | diff - "$work/released" ||
    fail "README.md does not name the release's downloads (<) as they are (>)"

# Each program users receive is one that a preset tested in this run.
tested() { # PROGRAM
    for built in $(cd "$top/build" && find $presets -type f -name 'tavoScribe*'); do
        cmp -s "$1" "$top/build/$built" && echo "${1#"$work"/}: the program that ${built%%/*} tested" && return
    done
    fail "${1#"$work"/} is no program that a preset built and tested in this run"
}

programs="tavoScribe tavoScribe-cards"
for tarball in tavoScribe-*-linux-*.tar.gz; do
    tar -C "$work" -xzf "$tarball"
    for program in $programs; do
        file "$work/${tarball%.tar.gz}/$program" | grep -q "statically linked.*stripped" ||
            fail "$program of $tarball is not static and stripped"
        tested "$work/${tarball%.tar.gz}/$program"
    done
done
for zip in tavoScribe-*-win*.zip; do
    unzip -q -d "$work/${zip%.zip}" "$zip"
    for program in $programs; do
        tested "$work/${zip%.zip}/$program.exe"
    done
done

TMPDIR=$work lintian --allow-root --fail-on error,warning tavoscribe_*.deb
for deb in tavoscribe_*.deb; do
    arch=$(dpkg-deb -f "$deb" Architecture)
    echo "== the $arch package: $(dpkg-deb -f "$deb" Depends)"
    dpkg-deb -x "$deb" "$work/$arch"
    # What Debian's hardening flags promise on that architecture.
    features="Position Independent Executable:Stack protected:Read-only relocations:Immediate binding"
    dpkg-architecture -a "$arch" -c dpkg-buildflags --get CXXFLAGS 2>/dev/null |
        grep -q mbranch-protection && features="$features:Branch Protection"
    # qemu-user names its programs after the processor of the GNU triplet.
    emulator=
    [ "$arch" = amd64 ] || emulator=qemu-$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_CPU 2>/dev/null)
    for program in $programs; do
        # It exits 1 for any feature it misses, of those or others.
        hardening=$(hardening-check "$work/$arch/usr/bin/$program" 2>/dev/null) || [ $? = 1 ] ||
            fail "hardening-check did not run"
        (IFS=:; for feature in $features; do
            echo "$hardening" | grep -q "$feature: yes" || fail "hardening-check, $arch $program: no $feature"
        done)
    done
    python3 "$top/tests/cli/run_cases.py" -- $emulator "$work/$arch/usr/bin/tavoScribe"
    python3 "$top/tests/cli/run_cases.py" --table cards -- $emulator "$work/$arch/usr/bin/tavoScribe-cards"
done

echo "== the amd64 package's table, as in a build sandbox without a terminal or ptrace"
[ "$(id -u)" = 0 ] || userns=--map-root-user
TAVO_SKIPS= unshare --mount --propagation unchanged ${userns:-} sh -c 'mount --make-rprivate /dev &&
    mount --bind /dev/null /dev/ptmx && exec strace -f -o /dev/null "$@"' sh "$top/tests/need" sandbox +terminal +ptrace \
    -- python3 "$top/tests/cli/run_cases.py" -- "$work/amd64/usr/bin/tavoScribe" >"$work/sandbox" ||
    fail "in a sandbox, the table failed: $(cat "$work/sandbox")"
cat "$work/sandbox"
[ "$(grep -c "^skipped: sandbox: the rows " "$work/sandbox")" = 2 ] ||
    fail "in a sandbox, the rows that need a terminal or ptrace did not skip"

echo "== bad input: one line, and no file written or changed"
c=$work/a/tavoScribe
refuse() { # WHAT-THE-LINE-NAMES [OPTIONS]
    what=$1
    shift
    before=$(ls -lAR --full-time "$work/refused" 2>&1 || true)
    "$c/scripts/release.sh" "$@" "$work/refused" 2>"$work/err" >/dev/null && fail "released despite $what"
    [ "$(wc -l <"$work/err")" = 1 ] && grep -qF "$what" "$work/err" &&
        [ "$(ls -lAR --full-time "$work/refused" 2>&1)" = "$before" ] ||
        fail "a refusal for $what said: $(cat "$work/err")"
    cat "$work/err"
}
# A commit that changes FILE by sed's SCRIPT is refused with a line naming WHAT.
refuse_commit() { # WHAT FILE SCRIPT
    sed -i "$3" "$c/$2"
    git -C "$c" -c user.name=check -c user.email=check@localhost commit -qam "$1"
    refuse "$1"
    git -C "$c" reset -q --hard HEAD~1
}
echo >>"$c/README.md"
refuse "uncommitted changes"
git -C "$c" checkout -q README.md
mkdir "$work/refused" && echo "an earlier cut's" >"$work/refused/SHA256SUMS.asc"
refuse "is not empty"
rm -r "$work/refused"
refuse_commit "debian/changelog is at 0.0.1-1" debian/changelog '1s/([^)]*)/(0.0.1-1)/'
refuse_commit "CHANGELOG.md's newest entry is \"9.9.9 (unreleased)\"" CHANGELOG.md '3i ## 9.9.9 (unreleased)\n'
refuse_commit "windows/README.txt names version 0.9.9" windows/README.txt '$a Version 0.9.9 and older.'
refuse "cannot sign as nobody@localhost" --sign nobody@localhost
refuse "usage" -x
echo "release check: all passed"
