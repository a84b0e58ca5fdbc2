#!/bin/sh
# Starts or stops the Wine session that the Windows suite runs in, with
# LOADER, Wine's loader for the program's kind (/usr/lib/wine/wine or
# wine64), and WINEPREFIX set.
# usage: wine_session.sh start|stop LOADER
# A persistent wineserver and a finished wineboot keep the helper processes
# Wine starts from inheriting the pipes of the first program under test,
# which would hold those pipes open for seconds after it ends.
# Wine's console turns each key typed at a terminal into a key event on the
# desktop, whose process (explorer) ends some seconds after no program uses
# the desktop and then takes up to ten seconds to come back: a program that
# waits on the desktop for the whole session keeps keys prompt.
set -eu
loader=$2 keeper=$WINEPREFIX/desktop-keeper.pid
case $1 in
start)
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    "$loader" wineboot -i </dev/null >/dev/null 2>&1
    (sh -c 'echo $$ >"$0"; exec sleep 3600' "$keeper" | "$loader" cmd /c pause) \
        </dev/null >/dev/null 2>&1 &
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    [ ! -f "$keeper" ] || kill "$(cat "$keeper")" 2>/dev/null || true
    rm -f "$keeper"
    ;;
esac
