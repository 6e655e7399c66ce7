#!/usr/bin/env python3
"""How veska-inspect --check scales with definition files that draw a message
on nearly every line they are read as: one long line (read as pieces of 255
characters), many short lines, and lines that begin with a zero byte. For
each file, veska (three names, on the sample model) and --check each run
with their output thrown away, and /usr/bin/time -v gives wall time and peak
memory. The bound the check must keep: at most five times veska's time plus
0.2 s, and at most twice the file's size plus 32 MB of memory.

    bench/check_scale.py [BUILD]   (default: build; writes BUILD/bench-check/check.md)
"""
import os
import re
import subprocess
import sys

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
out = os.path.join(build, "bench-check")
os.makedirs(out, exist_ok=True)
veska = os.path.join(build, "veska")
inspect = os.path.join(build, "veska-inspect")
sample = os.path.join(out, "sample.mdl")
subprocess.run([os.path.join(build, "tools", "mdl_builder", "make-sample-mdl"), sample], check=True,
               stdout=subprocess.DEVNULL)

MB = 1 << 20
cases = [("one line of %d MB" % n, b"x" * (n * MB) + b"\n") for n in (1, 2, 4, 8, 16)]
cases.append(("20 MB of short lines", b"x\n" * (10 * MB)))
cases += [("%d KB of zero-led lines" % k, b"\0\n" * (k * 512)) for k in (10, 50, 100, 200, 400)]


def measure(command):
    """Wall seconds and peak resident kilobytes of one run."""
    result = subprocess.run(["/usr/bin/time", "-v"] + command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    report = result.stderr.decode()
    wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([\d.]+)", report)
    seconds = int(wall.group(1) or 0) * 3600 + int(wall.group(2)) * 60 + float(wall.group(3))
    kilobytes = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))
    return seconds, kilobytes


lines = ["| file | size | veska | --check | bound (5 × veska + 0.2 s) | --check memory | bound (2 × size + 32 MB) | held |",
         "|---|---|---|---|---|---|---|---|"]
held_all = True
for title, data in cases:
    path = os.path.join(out, "case.cfg")
    with open(path, "wb") as f:
        f.write(data)
    target = os.path.join(out, "target.mdl")
    veska_time = min(measure([veska, sample, target, path])[0] for _ in range(3))
    runs = [measure([inspect, "--check", path]) for _ in range(3)]
    check_time = min(r[0] for r in runs)
    check_memory = max(r[1] for r in runs) * 1024
    time_bound = 5 * veska_time + 0.2
    memory_bound = 2 * len(data) + 32 * MB
    held = check_time <= time_bound and check_memory <= memory_bound
    held_all = held_all and held
    lines.append("| %s | %.1f MB | %.3f s | %.3f s | %.3f s | %.1f MB | %.1f MB | %s |" % (
        title, len(data) / MB, veska_time, check_time, time_bound, check_memory / MB, memory_bound / MB,
        "yes" if held else "NO"))
    print(lines[-1])
    sys.stdout.flush()
with open(os.path.join(out, "check.md"), "w") as f:
    f.write("\n".join(lines) + "\n")
sys.exit(0 if held_all else 1)
