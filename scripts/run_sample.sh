#!/usr/bin/env bash
# Builds both programs (veska and veska-inspect) and the sample model, and
# gives the sample model the lights of one of the example definition files
# (default: one light). The result is written into the build folder as
# build/sample-with-lights.mdl; no committed file is changed.
set -euo pipefail
cd "$(dirname "$0")/.."
definition=${1:-examples/one_light.cfg}

scripts/install_deps.sh
cmake --preset release >/dev/null
cmake --build build -j2 --target veska veska-inspect sample_model
./build/veska build/examples/sample.mdl build/sample-with-lights.mdl "$definition"
