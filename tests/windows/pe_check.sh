#!/bin/sh
# Checks PROGRAM.exe as TRIPLET's binutils read it: a console program of its
# kind, with ASLR and DEP, importing no DLL beyond those every Windows
# has, with the release's version and names, and one manifest, which asks for
# no elevation and names Windows 7, 8, 8.1 and 10 to 11.
# usage: tests/windows/pe_check.sh TRIPLET PROGRAM.exe VERSION
set -u
triplet=$1 exe=$2 version=$3
headers=$("$triplet-objdump" -p "$exe") && resources=$("$triplet-windres" -i "$exe" -O rc) || exit 1
failed=0
has() { # PATTERN WHAT: the headers or resources match grep's PATTERN, else WHAT is wrong
    printf '%s\n%s\n' "$headers" "$resources" | grep -q -- "$1" || { echo "$exe: $2"; failed=1; }
}
case $triplet in
x86_64-*)
    has "file format pei-x86-64" "not a PE32+ for AMD64"
    has HIGH_ENTROPY_VA "HIGH_ENTROPY_VA is off" ;;
*) has "file format pei-i386" "not a PE32 for i386" ;;
esac
has "(Windows CUI)" "not a console program"
has DYNAMIC_BASE "DYNAMIC_BASE is off"
has NX_COMPAT "NX_COMPAT is off"
imports=$(echo "$headers" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$imports" = "kernel32.dll msvcrt.dll " ] || { echo "$exe: imports $imports"; failed=1; }
numbers="$(echo "$version" | sed 's/\./, /g'), 0"
for fixed in FILEVERSION PRODUCTVERSION; do
    has "^ $fixed $numbers\$" "the fixed $fixed is not $numbers"
done
for value in "FileVersion\", \"$version\"" "ProductVersion\", \"$version\"" "ProductName\", \"tavoScribe\"" \
    "OriginalFilename\", \"$(basename "$exe")\"" "InternalName\", \"$(basename "$exe")\"" \
    "FileDescription\", \"[^\"]" "LegalCopyright\", \"[^\"]"; do
    has "VALUE \"$value" "the version resource lacks VALUE \"$value"
done
[ "$(echo "$resources" | grep -c "RT_MANIFEST")" = 1 ] || { echo "$exe: not one manifest"; failed=1; }
has "^1 24 /\* RT_MANIFEST \*/" "the manifest is not of type 24 and id 1"
has 'level=""asInvoker""' "the manifest does not ask to run as the invoker"
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
    1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    has "{$os}" "the manifest lacks the supportedOS {$os}"
done
exit $failed
