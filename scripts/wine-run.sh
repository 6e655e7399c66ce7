#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: the emulator of the
# Windows build (CMAKE_CROSSCOMPILING_EMULATOR), for its tests and tools.
#
# Wine's services are started first, detached from this process's output:
# started by the first program instead, they would hold the output pipe of
# whoever runs the tests (ctest) open after the program ended. The first
# start of a fresh Wine prefix takes a while; it is done once, under a lock,
# when tests run in parallel.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
wine=${WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
server=$(dirname "$wine")/wineserver
[ -x "$server" ] || server=$(command -v wineserver)

prefix=${WINEPREFIX:-$HOME/.wine}
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if ! "$server" -k0 2>/dev/null; then
        setsid "$server" -p </dev/null >/dev/null 2>&1 &
        sleep 0.2
    fi
    if [ ! -f "$prefix/system.reg" ]; then
        setsid "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    fi
) 9>"${prefix%/}.lock"
exec "$wine" "$@"
