#!/bin/sh
# The Windows program is a 32-bit console PE that needs no DLL beyond those
# every Windows has (no MinGW runtime beside it).
# usage: pe_format.sh OBJDUMP tavoScribe.exe
set -eu
objdump=$1 exe=$2
headers=$("$objdump" -p "$exe")
fail() { echo "$exe: $1" >&2; exit 1; }

"$objdump" -f "$exe" | grep -q "file format pei-i386" || fail "not a PE32 for i386"
echo "$headers" | grep -q "Subsystem.*(Windows CUI)" || fail "not a console program"
dlls=$(echo "$headers" | sed -n 's/.*DLL Name: *//p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$dlls" = "kernel32.dll msvcrt.dll " ] || fail "imports $dlls"
echo "PE32 console program for i386, imports: $dlls"
