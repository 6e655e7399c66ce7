#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: the emulator of the
# Windows build (CMAKE_CROSSCOMPILING_EMULATOR), for its tests and tools.
#
# Wine's server and its services are started first, detached from this
# process's output: started by the program instead, they would hold the
# output pipe of whoever runs the tests (ctest) open after the program ended,
# and ctest would wait for it forever. The first start of a fresh Wine prefix
# takes a while; it is done once, under a lock, when tests run in parallel.
# What is started here does not inherit the lock's file, or it would hold
# the lock for as long as it runs.
#
# Wine starts a Linux program (a script, python3) detached and reports
# success at once: only Windows programs may be run through this.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
wine=${WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
server=$(dirname "$wine")/wineserver
[ -x "$server" ] || server=$(command -v wineserver)

prefix=${WINEPREFIX:-$HOME/.wine}
mkdir -p "$prefix"
(
    flock 9
    if ! "$server" -k0 2>/dev/null; then
        setsid "$server" -p </dev/null >/dev/null 2>&1 9>&- &
        for _ in $(seq 50); do
            "$server" -k0 2>/dev/null && break
            sleep 0.1
        done
        # Makes the prefix where there is none yet and starts the services.
        setsid "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"${prefix%/}.lock"
exec "$wine" "$@"
