"""Draws previews of extreme definition files and of the bundled examples
with veska-inspect, and checks from each picture's own coordinates that it
stays readable: no two texts overlap, and nothing drawn lies outside the
view box.

Usage: check_preview_layout.py VESKA_INSPECT EXAMPLES_DIR [EMULATOR...]

A text's box is estimated from its x, y, anchor, font size and number of
characters: 0.6 of the font size per character (0.66 in bold), 0.8 of it
above the baseline and 0.25 below; a text written upwards (rotate(-90)) has
its box turned alike. What lies in a group with a clip path counts only
within the clip rectangle; what lies wholly outside it is not seen.
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"
GEAR = b"MainGearHeight=-2\nTailGearHeight=-0.5\nMainGearDist=-1\nTailGearDist=8\n"


def one_light(keys, gear=GEAR):
    return b"[Main]\nLights=1\n" + gear + b"[Light 1]\n" + keys


def lights(*sections, gear=GEAR):
    text = b"[Main]\nLights=%d\n" % len(sections) + gear
    for n, keys in enumerate(sections, 1):
        text += b"[Light %d]\n" % n + keys
    return text


EXTREMES = {
    b"lat300.cfg": one_light(b"ZOffset=0.5\nLonOffset=1.5\nLatOffset=300\n"),
    b"lon300.cfg": one_light(b"ZOffset=0.5\nLonOffset=300\nLatOffset=-300\n"),
    b"direction100.cfg": one_light(b"ZOffset=0.5\nLonOffset=1.5\nLatOffset=3\nDirection=100\n"),
    b"range-30.cfg": one_light(b"ZOffset=0.5\nLonOffset=1.5\nLatOffset=3\nMaxRange=-30\n"),
    b"below.cfg": one_light(b"ZOffset=-300\nLonOffset=1.5\nLatOffset=3\n"),
    b"far.cfg": one_light(b"ZOffset=9000\nLonOffset=-9000\nLatOffset=9000\nMaxRange=5000\n"),
    b"long.cfg": one_light(b"ZOffset=2\nMaxRange=3000\nSpotDepth=200\n", gear=b""),
    b"tiny.cfg": one_light(b"ZOffset=0.02\nLonOffset=0\nMaxRange=0.3\nSpotWidth=0.05\nSpotDepth=0.1\n", gear=b""),
    b"gear-close.cfg": lights(b"ZOffset=0.5\nLonOffset=1.5\n", gear=b"MainGearHeight=-2\nNoseGearHeight=-2.1\n"
                              b"MainGearDist=0.1\nNoseGearDist=0.08\n"),
    b"one-place.cfg": lights(b"ZOffset=0.5\nLonOffset=1.5\n", b"ZOffset=0.5\nLonOffset=1.5\n",
                             b"ZOffset=0.5\nLonOffset=1.5\nDirection=-120\nSpotWidth=-5\nMaxRange=-1e6\n"),
    b"errors.cfg": one_light(b"ZOffset=0.5\nLonOffset=1.5\nLatOffset=3 yd\nSpotDepth=1e300\n"),
    b"n" * 200 + b".cfg": one_light(b"ZOffset=0.5\nLatOffset=-3\n"),
}


def number(text):
    return float(text) if text is not None else 0.0


class Picture:
    """The boxes of a picture's texts and drawn elements, in its own pixels."""

    def __init__(self, path):
        root = ElementTree.parse(path).getroot()
        box = [float(v) for v in root.get("viewBox").split()]
        self.width, self.height = box[2], box[3]
        self.clips = {}
        for clip in root.iter(SVG + "clipPath"):
            rect = clip.find(SVG + "rect")
            x, y = number(rect.get("x")), number(rect.get("y"))
            self.clips[clip.get("id")] = (x, y, x + number(rect.get("width")), y + number(rect.get("height")))
        self.texts = []   # (text, box)
        self.shapes = []  # (tag, box)
        self.walk(root, {"font-size": "12", "font-weight": "normal", "text-anchor": "start", "clip": None})

    def walk(self, element, inherited):
        state = dict(inherited)
        for name in ("font-size", "font-weight", "text-anchor"):
            if element.get(name) is not None:
                state[name] = element.get(name)
        clip = element.get("clip-path")
        if clip:
            state["clip"] = self.clips[re.fullmatch(r"url\(#(.*)\)", clip).group(1)]
        tag = element.tag[len(SVG):]
        if tag in ("clipPath", "title"):
            return
        if tag == "text":
            self.add_text(element, state)
            return
        shape = self.shape_box(element, tag)
        if shape is not None:
            self.add(self.shapes, tag, shape, state["clip"])
        for child in element:
            self.walk(child, state)

    @staticmethod
    def shape_box(element, tag):
        if tag == "line":
            xs = [number(element.get("x1")), number(element.get("x2"))]
            ys = [number(element.get("y1")), number(element.get("y2"))]
            return (min(xs), min(ys), max(xs), max(ys))
        if tag == "circle":
            x, y, r = (number(element.get(a)) for a in ("cx", "cy", "r"))
            return (x - r, y - r, x + r, y + r)
        if tag == "rect" and not element.get("width", "").endswith("%"):
            x, y = number(element.get("x")), number(element.get("y"))
            return (x, y, x + number(element.get("width")), y + number(element.get("height")))
        if tag == "polygon":
            points = [tuple(float(v) for v in p.split(",")) for p in element.get("points").split()]
            return (min(p[0] for p in points), min(p[1] for p in points),
                    max(p[0] for p in points), max(p[1] for p in points))
        return None

    def add_text(self, element, state):
        text = element.text or ""
        size = float(state["font-size"])
        width = len(text) * size * (0.66 if state["font-weight"] == "bold" else 0.6)
        anchor = state["text-anchor"]
        x, y = number(element.get("x")), number(element.get("y"))
        left = x if anchor == "start" else x - width / 2 if anchor == "middle" else x - width
        box = (left, y - 0.8 * size, left + width, y + 0.25 * size)
        transform = element.get("transform")
        if transform:
            m = re.fullmatch(r"translate\(([-\d.]+) ([-\d.]+)\) rotate\(-90\)", transform)
            assert m, transform
            tx, ty = float(m.group(1)), float(m.group(2))
            # (u, v) goes to (tx + v, ty - u).
            box = (tx + box[1], ty - box[2], tx + box[3], ty - box[0])
        self.add(self.texts, text, box, state["clip"])

    @staticmethod
    def add(into, what, box, clip):
        if clip is not None:
            box = (max(box[0], clip[0]), max(box[1], clip[1]), min(box[2], clip[2]), min(box[3], clip[3]))
            if box[0] > box[2] or box[1] > box[3]:
                return  # wholly clipped away
        into.append((what, box))

    def problems(self):
        found = []
        for what, box in self.texts + self.shapes:
            if box[0] < -0.01 or box[1] < -0.01 or box[2] > self.width + 0.01 or box[3] > self.height + 0.01:
                found.append("outside the view box %gx%g: %r at %s" % (self.width, self.height, what, fmt(box)))
        for i, (a, box_a) in enumerate(self.texts):
            for b, box_b in self.texts[i + 1:]:
                if overlap(box_a, box_b):
                    found.append("texts overlap: %r at %s and %r at %s" % (a, fmt(box_a), b, fmt(box_b)))
        return found


def overlap(a, b):
    return a[0] < b[2] - 0.01 and b[0] < a[2] - 0.01 and a[1] < b[3] - 0.01 and b[1] < a[3] - 0.01


def fmt(box):
    return "(%.1f, %.1f)-(%.1f, %.1f)" % box


def self_test():
    """The checker finds what it is there to find."""
    picture = Picture.__new__(Picture)
    picture.width, picture.height, picture.texts, picture.shapes = 100.0, 100.0, [], []
    picture.add(picture.texts, "-98765", (10, 10, 50, 20), None)
    picture.add(picture.texts, "-43210", (45, 12, 85, 22), None)
    picture.add(picture.shapes, "line", (0, 0, 120, 5), None)
    picture.add(picture.shapes, "clipped", (-1e6, 0, 1e6, 5), (0, 0, 100, 100))
    picture.add(picture.shapes, "hidden", (200, 200, 300, 300), (0, 0, 100, 100))
    found = picture.problems()
    assert len(found) == 2 and "overlap" in found[1] and "'line'" in found[0], found


def main():
    self_test()
    emulator = [os.fsencode(word) for word in sys.argv[3:]]
    program = emulator + [os.fsencode(sys.argv[1])]
    examples = os.fsencode(sys.argv[2])
    passed = failed = 0
    with tempfile.TemporaryDirectory() as folder:
        folder = os.fsencode(folder)
        definitions = [os.path.join(examples, name) for name in sorted(os.listdir(examples))
                       if name.endswith(b".cfg")]
        for name, text in EXTREMES.items():
            path = os.path.join(folder, name)
            with open(path, "wb") as f:
                f.write(text)
            definitions.append(path)
        for definition in definitions:
            picture = os.path.join(folder, b"picture.svg")
            result = subprocess.run(program + [b"--preview", definition, picture], capture_output=True)
            shown = os.path.basename(definition).decode()
            found = [] if result.returncode in (0, 1) else ["exit code %d" % result.returncode]
            found += Picture(picture).problems()
            os.remove(picture)
            if found:
                failed += 1
                print("FAILED: %s\n  %s" % (shown, "\n  ".join(found)))
            else:
                passed += 1
                print("ok: %s" % shown)
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
