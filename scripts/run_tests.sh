#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the release
# build and its tests, each fuzz harness for a bounded time
# (scripts/run_fuzzers.sh), and the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer. The builds are the workflow presets of
# CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

# python3 parses the preview pictures; groff checks the man pages.
scripts/install_deps.sh python3 groff-base

cmake --workflow --preset release

# Every fuzz harness for about a minute each, from the generated seed corpus.
FUZZ_SECONDS=${FUZZ_SECONDS:-60} scripts/run_fuzzers.sh

cmake --workflow --preset sanitize
