#!/usr/bin/env python3
"""Checks that the table of messages and what to change ("When it says...")
is the same in README.md and in the Windows README.txt, whose source is
docs/README-windows.txt: the same messages in the same order, each with the
same advice. README.md writes a row as "| `message` | advice |" with code in
backticks; README.txt writes the message indented by two blanks and the
advice under it, indented by six, wrapped over as many lines as it needs.

    check_readme_tables.py SOURCE_DIR
"""
import os
import re
import sys

source = sys.argv[1]


def plain(text):
    return " ".join(text.replace("`", "").split())


def markdown_rows(lines):
    start = next(i for i, line in enumerate(lines) if line.startswith("## When it says"))
    rows = []
    for line in lines[start + 1:]:
        if line.startswith("## "):
            break
        m = re.match(r"^\| (.*) \| (.*) \|$", line)
        if m and not line.startswith("|---") and m.group(1) != "`veska` says":
            rows.append((plain(m.group(1)), plain(m.group(2))))
    return rows


def text_rows(lines):
    start = next(i for i, line in enumerate(lines) if line.startswith("When it says"))
    rows = []
    for i in range(start + 2, len(lines)):
        line = lines[i]
        if i + 1 < len(lines) and set(lines[i + 1]) == {"-"}:
            break  # the next heading
        if line.startswith("      ") and rows:
            rows[-1] = (rows[-1][0], plain(rows[-1][1] + " " + line))
        elif line.startswith("  ") and not line.startswith("   "):
            rows.append((plain(line), ""))
    return rows


markdown = markdown_rows(open(os.path.join(source, "README.md"), encoding="utf-8").read().split("\n"))
text = text_rows(open(os.path.join(source, "docs", "README-windows.txt"), encoding="utf-8").read().split("\n"))
if not markdown:
    print("no table found in README.md")
    sys.exit(1)
failed = 0
for k in range(max(len(markdown), len(text))):
    md_row = markdown[k] if k < len(markdown) else None
    txt_row = text[k] if k < len(text) else None
    if md_row != txt_row:
        failed += 1
        print("row %d differs:\n  README.md:  %s\n  README.txt: %s" % (k + 1, md_row, txt_row))
print("%d passed, %d failed" % (len(markdown) - failed if failed < len(markdown) else 0, failed))
sys.exit(1 if failed else 0)
