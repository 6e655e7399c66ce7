#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the release
# build and its tests, the tuning page (built with Emscripten, tested in
# headless Chromium against the release build's programs), the real-fault
# check, each fuzz harness for a bounded time (scripts/run_fuzzers.sh), the
# tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows build: cross-compiled with
# MinGW-w64, its tests run under Wine, and its ZIP. The builds are the
# workflow presets of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

# python3 parses the preview pictures, drives the real-fault check and
# checks the math tables against their script; MPFR is the correctly rounded
# reference of the math functions' test; groff checks the man pages and
# renders them as HTML for the Windows ZIP; strace injects the faults; acl's
# setfacl and getfacl give and show the access control lists that the
# writers keep, and util-linux's setpriv runs the programs as other users;
# MinGW-w64 builds for Windows (with GoogleTest from its source), Wine runs
# what it built; Emscripten builds the tuning page and Chromium runs its
# test, driven by puppeteer-core from npm.
scripts/install_deps.sh python3 libmpfr-dev groff-base groff strace acl util-linux g++-mingw-w64-x86-64 googletest \
    wine64 emscripten chromium
command -v npm > /dev/null || scripts/install_deps.sh nodejs npm

cmake --workflow --preset release

# The tuning page, and its test against the programs just built. The test's
# packages are those pinned in tests/web/package-lock.json.
(cd tests/web && npm ci --no-audit --no-fund)
cmake --workflow --preset web

# Real faults through the release programs: every occurrence of the file
# system calls failing, and kills at each of them; every signal that ends
# the programs, signals ignored from the start, and closed pipes.
python3 scripts/check_faults.py build

# Every fuzz harness for about a minute each, from the generated seed corpus.
FUZZ_SECONDS=${FUZZ_SECONDS:-60} scripts/run_fuzzers.sh

cmake --workflow --preset sanitize

cmake --workflow --preset windows
