#!/usr/bin/env bash
# The scale of a veska run: in-place runs on valid models of 70 KB, 1 MB and
# 64 MB (the file continues behind the resource section), against the I/O
# floor (read once, write twice, as veska writes: temporary file, flush,
# rename). Times with hyperfine, peak memory with /usr/bin/time -v. Writes
# build/bench-scale/scale.md; nothing outside build/ is touched.
#
#   bench/scale.sh [RUNS]   (runs per measurement for the 70 KB and 1 MB
#                            models, default 30; the 64 MB model gets a third)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}

scripts/install_deps.sh hyperfine time python3
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target veska make-sample-mdl io_floor >/dev/null

out=build/bench-scale
rm -rf "$out"
mkdir -p "$out"
definition=examples/one_light.cfg

sizes=(71680 1048576 67108864)
labels=("70 KB" "1 MB" "64 MB")
for i in "${!sizes[@]}"; do
    size=${sizes[$i]}
    pristine=$out/pristine-$size.mdl
    build/tools/mdl_builder/make-sample-mdl "$pristine" --size "$size"
    model=$out/model-$size.mdl
    n=$runs
    if [ "$size" -gt 10000000 ]; then
        n=$(( runs / 3 > 3 ? runs / 3 : 3 ))
    fi
    # Each run starts from the unprocessed model: veska refuses its own result.
    prepare=$out/prepare-$size.sh
    printf '#!/bin/sh\ncp %s %s && sync\n' "$pristine" "$model" >"$prepare"
    chmod +x "$prepare"
    hyperfine -N --style basic --warmup 2 --runs "$n" --export-json "$out/time-$size.json" \
        --prepare "$prepare" \
        -n "veska" "build/veska $model $definition" \
        -n "io_floor" "build/bench/io_floor $model $out/floor-$size.backup $out/floor-$size.out" \
        >"$out/hyperfine-$size.txt"
    cp "$pristine" "$model"
    /usr/bin/time -v build/veska "$model" "$definition" >/dev/null 2>"$out/rss-veska-$size.txt"
    cmp -s "$pristine" "$model" && { echo "veska did not write $model"; exit 1; }
    cp "$pristine" "$model"
    /usr/bin/time -v build/bench/io_floor "$model" "$out/floor-$size.backup" "$out/floor-$size.out" \
        2>"$out/rss-floor-$size.txt"
done

python3 - "$out" "${sizes[@]}" <<'PY'
import json, re, sys
out, sizes = sys.argv[1], [int(s) for s in sys.argv[2:]]
def rss(path):
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", open(path).read()).group(1))
rows = ["| model | veska mean ± sd | io_floor mean ± sd | veska / floor | veska per MiB "
        "| veska peak RSS | floor peak RSS | veska RSS − model |",
        "|---|---|---|---|---|---|---|---|"]
for size in sizes:
    results = {r["command"]: r for r in json.load(open(f"{out}/time-{size}.json"))["results"]}
    v, f = results["veska"], results["io_floor"]
    rv, rf = rss(f"{out}/rss-veska-{size}.txt"), rss(f"{out}/rss-floor-{size}.txt")
    mib = size / 1048576
    rows.append(f"| {size:,} B | {v['mean']*1000:.2f} ± {v['stddev']*1000:.2f} ms "
                f"| {f['mean']*1000:.2f} ± {f['stddev']*1000:.2f} ms | {v['mean']/f['mean']:.2f} "
                f"| {v['mean']*1000/mib:.2f} ms | {rv/1024:.1f} MiB | {rf/1024:.1f} MiB "
                f"| {(rv*1024 - size)/1048576:+.1f} MiB |")
# Least-squares line through the three means: a fixed cost per run and a
# cost per MiB of model.
def fit(name):
    xs = [size / 1048576 for size in sizes]
    ys = [{r["command"]: r for r in json.load(open(f"{out}/time-{s}.json"))["results"]}[name]["mean"] * 1000
          for s in sizes]
    mx, my = sum(xs) / len(xs), sum(ys) / len(ys)
    slope = sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)
    worst = max(abs(y - (my + slope * (x - mx))) / y for x, y in zip(xs, ys))
    return f"{name}: {my - slope * mx:.2f} ms + {slope:.3f} ms/MiB (largest deviation of a mean from the line: {worst:.0%})"
rows += ["", "Linear fit of the mean times:", "", "- " + fit("veska"), "- " + fit("io_floor")]
text = "\n".join(rows) + "\n"
open(f"{out}/scale.md", "w").write(text)
print(text, end="")
PY
