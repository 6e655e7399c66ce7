"""Draws previews with veska-inspect and parses each picture as XML.

Usage: check_preview_svg.py VESKA_INSPECT EXAMPLES_DIR [EMULATOR...]
The program runs through the emulator's command when one is given (a
program of another system's build). Checks that every picture is well-formed SVG with a view box, both views,
a legend line per light, and that the worked example's ground line rises
at 1/6 in pixels; that a definition file with errors gives a picture marked
incomplete; and that a file name full of markup and broken UTF-8 bytes ends
up escaped in the picture's title (where names are bytes: on POSIX systems).
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SVG = "{http://www.w3.org/2000/svg}"
WORKED = (b"[Main]\nLights=1\nMainGearHeight=-2\nTailGearHeight=-0.5\nMainGearDist=-1\nTailGearDist=8\n"
          b"[Light 1]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=3\nDirection=10\n")


def draw(program, definition, picture, expected_code):
    result = subprocess.run(program + [b"--preview", definition, picture], capture_output=True)
    assert result.returncode == expected_code, (definition, result.returncode, result.stdout)
    root = ElementTree.parse(picture).getroot()
    assert root.tag == SVG + "svg", root.tag
    box = [float(v) for v in root.get("viewBox").split()]
    assert box[:2] == [0, 0] and box[2] == float(root.get("width")) and box[3] == float(root.get("height")), box
    ids = {element.get("id") for element in root.iter() if element.get("id")}
    assert {"side-clip", "top-clip", "legend", "scale-bar", "ground-line"} <= ids, ids
    return root, ids


def legend_lines(root):
    return [t.text for t in root.iter(SVG + "text") if t.get("class") == "legend-light"]


def main():
    emulator = [os.fsencode(word) for word in sys.argv[3:]]
    program = emulator + [os.fsencode(sys.argv[1])]
    examples = os.fsencode(sys.argv[2])
    checked = 0
    with tempfile.TemporaryDirectory() as folder:
        folder = os.fsencode(folder)
        for name, lights in ((b"one_light.cfg", 1), (b"two_lights.cfg", 2), (b"three_lights.cfg", 3)):
            root, ids = draw(program, os.path.join(examples, name), os.path.join(folder, name + b".svg"), 0)
            assert len(legend_lines(root)) == lights, legend_lines(root)
            assert "incomplete" not in ids
            checked += 1

        worked = os.path.join(folder, b"worked.cfg")
        with open(worked, "wb") as f:
            f.write(WORKED)
        root, _ = draw(program, worked, os.path.join(folder, b"worked.svg"), 0)
        line = next(e for e in root.iter(SVG + "line") if e.get("id") == "ground-line")
        x1, y1, x2, y2 = (float(line.get(a)) for a in ("x1", "y1", "x2", "y2"))
        assert abs((y2 - y1) / (x2 - x1) - 1 / 6) < 1e-3, (x1, y1, x2, y2)
        assert legend_lines(root) == ["Light 1: pitch=9.46 degrees, beam inclination=-14.38 degrees, MaxRange 30 m"]
        checked += 1

        if emulator:
            # Another system's names are characters, not bytes: no such name.
            print("skipped the name with broken UTF-8 bytes: names are not bytes on the emulated system")
            print(f"{checked} passed, 0 failed")
            return
        odd = os.path.join(folder, b"a&b <c> \"d\" \xff\xfe.cfg")
        with open(odd, "wb") as f:
            f.write(WORKED + b"SpotDepth=3 yd\n")
        root, ids = draw(program, odd, os.path.join(folder, b"odd.svg"), 1)
        assert "incomplete" in ids, ids
        title = root.find(SVG + "title").text
        assert title.endswith("a&b <c> \"d\" \ufffd\ufffd.cfg"), title
        checked += 1
    print(f"{checked} passed, 0 failed")


if __name__ == "__main__":
    main()
