#!/usr/bin/env python3
"""Runs every example command of the README against a build and checks that
it succeeds and prints what the README shows, so that the README cannot
drift from the programs.

    check_readme.py SOURCE_DIR BUILD_DIR

An example is an indented line "$ COMMAND" followed by the indented lines it
prints, up to the next blank line or example; a line "..." stands for any
number of lines. The commands run in the order of the README from the
source folder, in bash, with the README's "build/" standing for BUILD_DIR.
"""
import os
import re
import subprocess
import sys

source, build = (os.path.abspath(p) for p in sys.argv[1:3])
readme = open(os.path.join(source, "README.md"), encoding="utf-8").read().split("\n")

examples = []
i = 0
while i < len(readme):
    m = re.match(r"^    \$ (.*)$", readme[i])
    if not m:
        i += 1
        continue
    command, expected = m.group(1), []
    i += 1
    while i < len(readme) and readme[i].startswith("    ") and not readme[i].startswith("    $ "):
        expected.append(readme[i][4:])
        i += 1
    examples.append((command, expected))


def matches(expected, actual):
    """expected lines, with "..." for any run of lines, against actual lines."""
    if not expected:
        return not actual
    if expected[0] == "...":
        return any(matches(expected[1:], actual[k:]) for k in range(len(actual) + 1))
    return bool(actual) and actual[0] == expected[0] and matches(expected[1:], actual[1:])


failed = 0
for command, expected in examples:
    run = re.sub(r"(?<![\w./-])build/", build + "/", command)
    result = subprocess.run(["bash", "-c", run], cwd=source, capture_output=True, text=True)
    actual = result.stdout.replace(build + "/", "build/").split("\n")
    if actual and actual[-1] == "":
        actual.pop()
    problems = []
    if result.returncode != 0:
        problems.append("exit code %d" % result.returncode)
    if not matches(expected, actual):
        problems.append("printed:\n" + "\n".join("      " + line for line in actual))
    if problems:
        failed += 1
        print("FAILED: $ %s\n  %s" % (command, "\n  ".join(problems)))
    else:
        print("ok: $ %s" % command)
print("%d passed, %d failed" % (len(examples) - failed, failed))
sys.exit(1 if failed or not examples else 0)
