#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the release
# build and its tests, the real-fault check, each fuzz harness for a bounded time
# (scripts/run_fuzzers.sh), and the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer. The builds are the workflow presets of
# CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

# python3 parses the preview pictures and drives the real-fault check;
# groff checks the man pages; strace injects the faults.
scripts/install_deps.sh python3 groff-base strace

cmake --workflow --preset release

# Real faults through the release programs: every occurrence of the file
# system calls failing, and kills at each of them.
python3 scripts/check_faults.py build

# Every fuzz harness for about a minute each, from the generated seed corpus.
FUZZ_SECONDS=${FUZZ_SECONDS:-60} scripts/run_fuzzers.sh

cmake --workflow --preset sanitize
