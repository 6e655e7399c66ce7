#!/usr/bin/env python3
"""A development tool, not a test: runs the two programs of a build over a
fixed corpus and prints one line per run: the command, the exit code, what
was printed (escaped) and a hash of every file the run wrote. Two builds
(before and after a change that must not change what users see) are
compared line by line:

    tools/golden_corpus.py build-before > before.txt
    tools/golden_corpus.py build > after.txt
    diff before.txt after.txt

The corpus: the example definition files, hand-made edge cases for every
message, and random definition files from a seeded generator of its own,
each through veska (in place and with a target), --check, --preview, the
report and --strip of what veska wrote; then models with corrupted bytes
through the report, --strip and veska; then the command lines that print
help, usage and errors."""
import hashlib
import os
import random
import shutil
import subprocess
import sys
import tempfile

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VESKA = os.path.join(build, "veska")
INSPECT = os.path.join(build, "veska-inspect")
MAKER = os.path.join(build, "tools", "mdl_builder", "make-sample-mdl")

work = tempfile.mkdtemp(prefix="veska-golden-")
subprocess.run([MAKER, os.path.join(work, "sample.mdl")], check=True, stdout=subprocess.DEVNULL)
SAMPLE = open(os.path.join(work, "sample.mdl"), "rb").read()


def digest(data):
    return "-" if data is None else hashlib.sha256(data).hexdigest()[:16]


def run(label, command, files, outputs):
    """Runs command in a fresh folder holding files; prints its line and
    returns the bytes of each output (None when absent)."""
    d = tempfile.mkdtemp(dir=work)
    for name, data in files.items():
        with open(os.path.join(d, name), "wb") as f:
            f.write(data)
    result = subprocess.run(command, cwd=d, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    written = {}
    for name in outputs:
        path = os.path.join(d, name)
        written[name] = open(path, "rb").read() if os.path.isfile(path) else None
    left = sorted(set(os.listdir(d)) - set(files) - set(outputs))
    shown = " ".join(os.path.basename(c) if c in (VESKA, INSPECT) else c for c in command)
    print("%s | %s | exit %d | %r | %r | %s | left %s" % (
        label, shown, result.returncode, result.stdout, result.stderr,
        " ".join("%s=%s" % (n, digest(written[n])) for n in outputs), ",".join(left)))
    shutil.rmtree(d)
    return written


def definition_runs(label, text):
    files = {"d.cfg": text, "m.mdl": SAMPLE}
    run(label, [INSPECT, "--check", "d.cfg"], {"d.cfg": text}, [])
    run(label, [INSPECT, "--preview", "d.cfg", "p.svg"], {"d.cfg": text}, ["p.svg"])
    run(label, [VESKA, "m.mdl", "d.cfg"], files, ["m.mdl", "m.MD$"])
    target = run(label, [VESKA, "m.mdl", "t.mdl", "d.cfg"], files, ["t.mdl"])["t.mdl"]
    if target is not None:
        run(label, [INSPECT, "t.mdl"], {"t.mdl": target}, [])
        run(label, [INSPECT, "--strip", "t.mdl", "s.mdl"], {"t.mdl": target}, ["s.mdl"])


GEAR = b"MainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-0.5\nTailGearDist=8\n"
EDGES = [
    b"",
    b"[Main]\nLights=1\n",
    b"[Main]\nLights=1\n[Light 1]\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nLatOffset=3\nZOffset=0.5\nLonOffset=1.5\nDirection=10\n",
    b"[MAIN]\nlights=2\n[light 1]\n[LIGHT 2]\nPITCH=1\n",
    b"[Main] \nLights=1\n[Light 1]\n",
    b"[Main] ; c\nLights=1\n",
    b"[Main]\nLights=1\n[Light 4]\n[Light 1]\n",
    b"[Main]\nLights=1\n[Light 1]\nPitch=1\n[light 1]\nPitch=2\n",
    b"[Main]\nLights=2\n" + GEAR + b"[Light 1]\n[MAIN]\nLights=3\n[Light 2]\n",
    b"[Light 1]\nPitch=1\n[Main]\nLights=1\n[Light 2]\n",
    b"[Main]\nLights =1\nLights=1\n[Light 1]\n",
    b"[Main]\n Lights=1\n\tLights=1\n[Light 1]\n\t\nPitch=\nPitch\n",
    b"Lights=1\n[Main]\nLights=1\n[Light 1]\n",
    b"[Main]\nLights=1\nPitch=2\n[Light 1]\nLights=1\n",
    b"[Main]\nLights=1\nNoseGearDist=1\nTailGearDist=2\n[Light 1]\n",
    b"[Main]\nLights=2.9\n[Light 1]\n[Light 2]\n",
    b"[Main]\nLights=0\n[Light 1]\n",
    b"[Main]\nLights=4\n",
    b"[Main]\nLights=-1\n[Light 1]\n",
    b"[Main]\nLights=two\n[Light 1]\n",
    b"[Main]\nLights=2 lights\n[Light 1]\n[Light 2]\n",
    b"[Main]\nLights=3\n[Light 1]\n",
    b"[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=1\n[Light 1]\n",
    b"[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=0\nNoseGearHeight=-1\nNoseGearDist=0.3 in\n[Light 1]\n",
    b"[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=0\nNoseGearHeight=-2\nNoseGearDist=1 cm\n[Light 1]\n",
    b"[Main]\nLights=1\nMainGearHeight=-2.5\nNoseGearHeight=-2\nMainGearDist=1\nNoseGearDist=-5\n[Light 1]\n",
    b"[Main]\nLights=1\nMainGearHeight=12 ft \nMainGearDist=12 mm\nTailGearHeight=1\nTailGearDist=12 feet\n[Light 1]\n",
    b"[Main]\nLights=1\n[Light 1]\nDirection=5 deg\nPitch=5 cm\nMaxRange=ft\nSpotWidth=   \nLatOffset=12 ft ; c\n",
    b"[Main]\nLights=1\n[Light 1]\nMaxRange=0\n",
    b"[Main]\nLights=1\n[Light 1]\nMaxRange=-30\nSpotDepth=-1\nSpotWidth=0\nDirection=100\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nZOffset=-10\nPitch=0\n",
    b"[Main]\nLights=1\n[Light 1]\nLatOffset=1e6\nLonOffset=-1e6\nZOffset=nan\nMaxRange=inf\n",
    b"[Main]\nLights=3\n" + GEAR + b"[Light 1]\nLatOffset=3\n[Light 2]\nLatOffset=-3\nDirection=-10\n"
    b"[Light 3]\nLonOffset=5\nSpotDepth=10\nMaxRange=60\n",
    b"[Main]\r\nLights=1\r\n[Light 1]\r\nPitch=2\r\n",
    b"[Main]\nLights=1\n[Light 1]\nPitch=2",
    b"[Main]\nLights=1\n\x1a\n[Light 1]\n",
    b"\x1a[Main]\n",
    b"[Main]\nLights=1\n[Light 1]\n\x1a\nPitch=1\n",
    b"\xef\xbb\xbf[Main]\nLights=1\n[Light 1]\n",
    b"[Main]\nLights=1\n[Light 1]\n\x00\nPitch=1\n\x00abc\n",
    b"\x00\n\x00\n",
    b"[Main]\nLights=1\n[Light 1]\n; " + b"x" * 300 + b"\n",
    b"[Main]\nLights=1\n[Light 1]\nPitch=" + b"1" * 300 + b"\n",
    b"x" * 600 + b"\n",
    b"[Main]\nLights=1\n[Light 1]\nLatOfset=1\nSpotwith=2\nColour=red\n",
    b"[Main]\nLights=1\n[Light1]\n",
    b"[Main]\nLights=1\n[ light 1 ]\n",
    b"[Main]\nLights=1\n[Light 9]\n",
    b"[Main]\nLights=1\n[Light 1]\nDirection 10\nMaxRange 30 m\n",
    b"[Main]\nLights=1\nMainGearHeight=-2,5\n[Light 1]\nMaxRange=-2 metres\nPitch=3 deg\nSpotWidth=2'\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nSpotDepth=40\nMaxRange=30\n",
    b"[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=-1\nNoseGearHeight=-0.5\nTailGearDist=8\n[Light 1]\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nPitch=-40\n",
    b"[Main]\nLights=1\n[Light 1]\n   Pitch=3\n  ; fine\n",
    b"[Main]\nLights=1\n[Light 1]\n==Pitch==3\nDirection=1=2\n",
    b"[Main]\nLights=1\n[Light 1]\nLatOffset=0x10\nLonOffset=1e400\nZOffset=-0\n",
    "[Main]\nLights=1\n[Light 1]\nPitch=3\u00b0\nLatOffset=M\u00fcller\n".encode("utf-8"),
    b"[Main]\nLights=1\n[Light 1]\nLatOffset=\xff\xfe\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nLatOffset=300\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nDirection=100\n",
    b"[Main]\nLights=1\n" + GEAR + b"[Light 1]\nLatOffset=3\nSpotDepth=40\n",
]


def random_definition(r):
    names = ["Lights", "Pitch", "Direction", "LatOffset", "LonOffset", "ZOffset", "MaxRange", "SpotWidth",
             "SpotDepth", "MainGearHeight", "MainGearDist", "TailGearHeight", "TailGearDist", "NoseGearHeight",
             "NoseGearDist", "lights", "Bogus"]
    numbers = ["1", "2", "3", "0", "-1", "2.5", "-2", "30", "40", "0.5", "1e3", "12", "-0.5", "8", "100", "x",
               "", " ", "1,5", "nan"]
    units = ["", "", "", " m", "ft", " in", " cm", " mm", " ft ", " ;c", " deg"]
    headers = ["[Main]", "[Light 1]", "[Light 2]", "[Light 3]", "[main]", "[Light 4]", "[Light1]"]
    lines = []
    if r.random() < 0.8:
        lines += ["[Main]", "Lights=%d" % r.choice([1, 1, 2, 3, 0, 4])]
    for _ in range(r.randint(0, 18)):
        kind = r.random()
        if kind < 0.12:
            lines.append(r.choice(headers))
        elif kind < 0.2:
            lines.append(r.choice(["; comment", " Pitch=1", "\tPitch=2", "", "junk", "\x1a", "Pitch", "=Pitch=1"]))
        else:
            lines.append("%s=%s%s" % (r.choice(names), r.choice(numbers), r.choice(units)))
    end = r.choice(["\n", "\n", "\r\n"])
    text = end.join(lines) + (end if r.random() < 0.9 else "")
    return text.encode("latin-1")


MODEL_PATCHES = [
    ("no MZ", [(0, b"XX")]),
    ("no PE", [(0x80, b"PX")]),
    ("header length 13", [(0x11F8, b"\x0d")]),
    ("word 42 changed", [(0x11F8 + 42, b"\x23\x00")]),
    ("resource raw size", [(0x200, b"\x00")]),
    ("end code replaced", None),
    ("truncated", None),
    ("empty", None),
]


def model_runs():
    processed = run("models", [VESKA, "m.mdl", "t.mdl", "d.cfg"],
                    {"m.mdl": SAMPLE, "d.cfg": EDGES[3]}, ["t.mdl"])["t.mdl"]
    three = run("models", [VESKA, "m.mdl", "t.mdl", "d.cfg"], {"m.mdl": SAMPLE, "d.cfg": EDGES[33]}, ["t.mdl"])["t.mdl"]
    variants = [("sample", SAMPLE), ("processed", processed), ("processed three", three)]
    for title, patches in MODEL_PATCHES:
        if title == "truncated":
            variants.append((title, SAMPLE[:5000]))
        elif title == "empty":
            variants.append((title, b""))
        elif title == "end code replaced":
            data = bytearray(SAMPLE)
            at = len(data.rstrip(b"\x00")) if False else None
            code = data[0x11F8:0x11F8 + 0x10000]
            last = len(code.rstrip(b"\x00"))
            last -= last % 2
            code[last - 2:last] = b"\x33\x00"
            data[0x11F8:0x11F8 + 0x10000] = code
            variants.append((title, bytes(data)))
        else:
            data = bytearray(SAMPLE)
            for at, b in patches:
                data[at:at + len(b)] = b
            variants.append((title, bytes(data)))
    # Processed models with one byte changed: in the block, the trailer, the
    # end code, the length word.
    rng = random.Random(7)
    code_start = 0x11F8
    for i in range(40):
        data = bytearray(processed)
        at = code_start + rng.choice([4, 12, 20, 200, 210, 360, 366]) if i < 10 else code_start + rng.randrange(0, 20000)
        data[at] ^= 1 << rng.randrange(8)
        variants.append(("processed flipped %d@%d" % (i, at), bytes(data)))
    for title, data in variants:
        run(title, [INSPECT, "m.mdl"], {"m.mdl": data}, [])
        run(title, [INSPECT, "--strip", "m.mdl", "s.mdl"], {"m.mdl": data}, ["s.mdl"])
        run(title, [VESKA, "m.mdl", "d.cfg"], {"m.mdl": data, "d.cfg": EDGES[3]}, ["m.mdl", "m.MD$"])


def command_lines():
    for command in ([], ["--help"], ["--version"], ["/?"], ["missing.mdl"], ["missing.mdl", "d.cfg"],
                    ["m.mdl", "missing.cfg"], ["m.mdl"], ["m.mdl", "t.mdl", "d.cfg", "extra"], ["dir"],
                    ["m.mdl", "dir"], ["m.mdl", "dir", "d.cfg"], ["m.mdl", "d.cfg", "d.cfg"]):
        files = {"m.mdl": SAMPLE, "d.cfg": EDGES[3]}
        d = run("veska", [VESKA] + command, files, ["m.mdl", "m.MD$", "t.mdl"])
    for command in ([], ["--help"], ["--version"], ["--bogus"], ["-x"], ["a", "b"], ["--strip"],
                    ["--strip", "a", "b", "c"], ["--check"], ["--check", "missing.cfg"], ["--preview", "d.cfg"],
                    ["--preview", "missing.cfg", "p.svg"], ["--preview", "d.cfg", "d.cfg"], ["missing.mdl"],
                    ["d.cfg"], ["--strip", "m.mdl"], ["--check", "m.mdl"]):
        run("inspect", [INSPECT] + command, {"m.mdl": SAMPLE, "d.cfg": EDGES[3]}, ["m.mdl", "p.svg", "d.cfg"])


for path in sorted(os.listdir(os.path.join(root, "examples"))):
    if path.endswith(".cfg"):
        definition_runs(path, open(os.path.join(root, "examples", path), "rb").read())
for i, text in enumerate(EDGES):
    definition_runs("edge %d" % i, text)
generator = random.Random(20261207)
for i in range(count):
    definition_runs("random %d" % i, random_definition(generator))
model_runs()
command_lines()
shutil.rmtree(work)
