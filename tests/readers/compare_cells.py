#!/usr/bin/python3
# compare_cells.py FOLDER: each workbook FOLDER/NAME.xls, read by xlrd through read_cells.py, holds exactly what
# FOLDER/NAME.cells says it must print (column widths aside; numbers bit for bit, in any form float.fromhex takes).
# Prints the difference and fails on any, and when the folder holds no workbook to compare.
import difflib, glob, os, subprocess, sys

READ_CELLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "read_cells.py")


def normal(lines):
    out = []
    for line in lines:
        fields = line.split(" ")
        if fields[0] == "cell":
            fields[4] = float.fromhex(fields[4]).hex()
        if fields[0] != "width":
            out.append(" ".join(fields))
    return out


expected_files = sorted(glob.glob(os.path.join(sys.argv[1], "*.cells")))
failed = not expected_files
for cells in expected_files:
    workbook = cells[:-len(".cells")] + ".xls"
    read = subprocess.run([sys.executable, READ_CELLS, "xlrd", workbook], capture_output=True, text=True)
    got, want = normal(read.stdout.splitlines()), normal(open(cells).read().splitlines())
    if read.returncode != 0 or got != want:
        failed = True
        print("%s as xlrd reads it:" % workbook, read.stderr)
        sys.stdout.writelines(l + "\n" for l in difflib.unified_diff(want, got, "expected", "xlrd", lineterm="", n=1))
print("no workbook to compare in %s" % sys.argv[1] if not expected_files else "%d workbooks compared" % len(expected_files))
sys.exit(1 if failed else 0)
