#!/usr/bin/env bash
# Measures a whole in-place veska run on the sample model (load, backup, read
# the definition, compute, insert, write) against the I/O floor (io_floor:
# the same reads and durable writes and nothing else):
#   - instructions with callgrind, which are repeatable;
#   - wall-time medians with hyperfine over many runs.
# Usage: bench/whole_run.sh [RUNS]   (needs valgrind and hyperfine)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-300}

scripts/install_deps.sh valgrind hyperfine python3
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target veska io_floor sample_model >/dev/null

work=$(mktemp -d build/bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp build/examples/sample.mdl "$work/sample.mdl"
floor=(build/bench/io_floor "$work/plane.mdl" "$work/plane.MD\$" "$work/plane.mdl")

instructions() {
    cp "$work/sample.mdl" "$work/plane.mdl"
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

floor_ir=$(instructions "${floor[@]}")
printf '%-28s %12s %8s\n' "run" "instructions" "ratio"
printf '%-28s %12s %8s\n' "I/O floor" "$floor_ir" "1.00"
for definition in one_light two_lights three_lights; do
    ir=$(instructions build/veska "$work/plane.mdl" "examples/$definition.cfg")
    printf '%-28s %12s %8s\n' "veska, $definition" "$ir" "$(python3 -c "print(f'{$ir / $floor_ir:.2f}')")"
done

hyperfine -N --warmup 10 --runs "$runs" --export-json "$work/times.json" \
    --prepare "cp $work/sample.mdl $work/plane.mdl" \
    "${floor[*]}" "build/veska $work/plane.mdl examples/one_light.cfg" \
    "build/veska $work/plane.mdl examples/three_lights.cfg" >/dev/null
python3 - "$work/times.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
floor = results[0]["median"]
print()
print(f"{'run':28} {'median ms':>12} {'ratio':>8}")
for label, r in zip(["I/O floor", "veska, one_light", "veska, three_lights"], results):
    print(f"{label:28} {r['median'] * 1000:12.3f} {r['median'] / floor:8.2f}")
PY
