#!/bin/sh
# Probes, starts or stops the Wine session that the Windows suite runs in,
# with LOADER, Wine's loader for the program's kind (/usr/lib/wine/wine for
# 32-bit programs, wine64 for 64-bit ones), and WINEPREFIX set.
# usage: wine_session.sh probe|start|stop LOADER
#
# probe: whether this host can start LOADER at all. A kernel that runs no
# 32-bit code (built without IA-32 emulation, or booted with
# ia32_emulation=0) cannot start the 32-bit loader; the reason goes to
# standard output, and the status is 1.
# start: a persistent wineserver and a finished wineboot keep the helper
# processes Wine starts from inheriting the pipes of the first program under
# test, which would hold those pipes open for seconds after it ends. Wine's
# console turns each key typed at a terminal into a key event on the
# desktop, whose process (explorer) ends some seconds after no program uses
# the desktop and then takes up to ten seconds to come back: a program that
# waits on the desktop for the whole session keeps keys prompt.
set -eu
loader=$2
case $1 in
probe)
    status=0
    why=$(exec 2>&1; "$loader" --version >/dev/null || exit) || status=$?
    [ "$status" = 0 ] || {
        echo "this host cannot start $loader (status $status):" $why
        exit 1
    }
    ;;
start)
    keeper=$WINEPREFIX/desktop-keeper.pid
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    "$loader" wineboot -i </dev/null >/dev/null 2>&1
    (sh -c 'echo $$ >"$0"; exec sleep 3600' "$keeper" | "$loader" cmd /c pause) \
        </dev/null >/dev/null 2>&1 &
    ;;
stop)
    keeper=$WINEPREFIX/desktop-keeper.pid
    wineserver -k </dev/null >/dev/null 2>&1 || true
    [ ! -f "$keeper" ] || kill "$(cat "$keeper")" 2>/dev/null || true
    rm -f "$keeper"
    ;;
esac
