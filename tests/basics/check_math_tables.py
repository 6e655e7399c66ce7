#!/usr/bin/env python3
"""Fails unless the lines of basics/portable_math.cpp between its BEGIN and
END marks are exactly what tools/portable_math_tables.py prints.

Usage: check_math_tables.py TABLES_SCRIPT PORTABLE_MATH_CPP
"""
import difflib
import subprocess
import sys

BEGIN = "// BEGIN lines printed by tools/portable_math_tables.py"
END = "// END lines printed by tools/portable_math_tables.py"


def main():
    script, source = sys.argv[1], sys.argv[2]
    printed = subprocess.run([sys.executable, script], check=True, stdout=subprocess.PIPE,
                             universal_newlines=True).stdout.splitlines()
    with open(source, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if lines.count(BEGIN) != 1 or lines.count(END) != 1 or lines.index(BEGIN) > lines.index(END):
        print("%s: no single pair of lines %r ... %r" % (source, BEGIN, END))
        return 1
    pasted = lines[lines.index(BEGIN) + 1:lines.index(END)]
    if not printed:
        print("%s printed nothing" % script)
        return 1
    if pasted != printed:
        sys.stdout.writelines(line + "\n" for line in difflib.unified_diff(
            pasted, printed, source, "what %s prints" % script, lineterm=""))
        return 1
    print("%d lines as printed by %s" % (len(printed), script))
    return 0


if __name__ == "__main__":
    sys.exit(main())
