#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: a release
# build, each fuzz harness for a bounded time (scripts/run_fuzzers.sh), and
# the tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

# python3 parses the preview pictures; groff checks the man pages.
scripts/install_deps.sh python3 groff-base
jobs=2

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVESKA_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# Every fuzz harness for about a minute each, from the generated seed corpus.
FUZZ_SECONDS=${FUZZ_SECONDS:-60} scripts/run_fuzzers.sh

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVESKA_SANITIZE=ON -DVESKA_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
