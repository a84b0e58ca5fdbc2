#!/bin/sh
# Starts or stops the Wine session that the Windows suite runs in.
# A persistent wineserver and a finished wineboot keep the helper processes
# Wine starts from inheriting the pipes of the first program under test,
# which would hold those pipes open for seconds after it ends.
set -eu
case $1 in
start)
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
esac
