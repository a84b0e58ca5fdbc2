#!/bin/sh
# tests/need's verdicts on a host made to answer each way: each call's status
# and words.
set -u
unset TAVO_SKIPS TAVO_APT_CANNOT
need=$(cd "$(dirname "$0")" && pwd)/need
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
mkdir "$fake/ptrace" "$fake/broken"
# An ELF header for 64-bit ARM, which no x86 kernel runs, two straces and a script.
printf '\177ELF\002\001\001\000\000\000\000\000\000\000\000\000\002\000\267\000' >"$fake/arm64"
printf '#!/bin/sh\necho "strace: PTRACE_TRACEME: Operation not permitted" >&2\nexit 1\n' >"$fake/ptrace/strace"
printf '#!/bin/sh\necho "strace: error while loading shared libraries" >&2\nexit 127\n' >"$fake/broken/strace"
printf '#!/bin/sh\necho "script: cannot open /dev/null: Permission denied" >&2\nexit 1\n' >"$fake/broken/script"
chmod +x "$fake/arm64" "$fake/ptrace/strace" "$fake/broken/strace" "$fake/broken/script"

failed=0
verdict() { # STATUS WORDS [VARIABLE=VALUE]... NEED-ARGUMENTS...
    want=$1 words=$2
    shift 2
    said=$(env "$@" 2>&1)
    status=$?
    [ "$status" = "$want" ] && echo "$said" | grep -qF -- "$words" ||
        { echo "FAIL: $*: status $status, expected $want with \"$words\"; said: $said"; failed=1; }
}
verdict 3 "ran" "$need" t dpkg -- sh -c "echo ran; exit 3"
verdict 1 "t: missing: no-such-package (as root" "$need" t no-such-package -- true
verdict 77 "skipped: t: apt cannot install no-such-package: E: gone" \
    TAVO_APT_CANNOT="no-such-package: E: gone" "$need" t no-such-package -- true
verdict 1 "t: missing: /nonexistent/wine64, from wine64" TAVO_APT_CANNOT="wine: E: gone" \
    "$need" t wine64=/nonexistent/wine64 -- true
verdict 1 "t: /bin/false --version failed" "$need" t p=/bin/false -- true
verdict 1 "Exec format error" "$need" t p="$fake/arm64" -- true
verdict 1 "t: strace failed: strace: error while loading" PATH="$fake/broken:$PATH" "$need" t +ptrace -- true
verdict 1 "t: script failed: script: cannot open" PATH="$fake/broken:$PATH" "$need" t +terminal -- true
verdict 0 "skipped: t: the rows whose close fails: strace: PTRACE_TRACEME" PATH="$fake/ptrace:$PATH" \
    "$need" t +ptrace -- sh -c '[ "$TAVO_LEAVE_OUT" = " ptrace" ]'
exit $failed
