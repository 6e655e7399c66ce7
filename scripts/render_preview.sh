#!/usr/bin/env bash
# Draws the preview of a definition file (default: the one-light example the
# sample run uses) with veska-inspect and renders it to docs/preview.png for
# the README. Installs the SVG renderer where missing.
set -euo pipefail
cd "$(dirname "$0")/.."
definition=${1:-examples/one_light.cfg}
output=${2:-docs/preview.png}

scripts/install_deps.sh librsvg2-bin
cmake --preset release >/dev/null
cmake --build build -j2 --target veska-inspect
./build/veska-inspect --preview "$definition" build/preview.svg
rsvg-convert --background-color=white -o "$output" build/preview.svg
echo "Rendered $definition to $output"
