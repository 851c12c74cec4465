#!/usr/bin/python3
# compare_cells.py FOLDER: each FOLDER/NAME.xls, read by xlrd through read_cells.py, holds exactly what FOLDER/NAME.cells
# says it must print (column widths and the record each cell came from aside: the writer's choice of record is the same
# on every platform; numbers bit for bit, in any form float.fromhex takes). Prints each difference;
# fails on any, and on a folder with nothing to compare.
import difflib, glob, os, subprocess, sys


def normal(lines):
    fields = [line.split(" ") for line in lines if not line.startswith("width ")]
    return [" ".join(f[:4] + [float.fromhex(f[4]).hex(), f[5]] if f[0] == "cell" else f) for f in fields]


read_cells = os.path.join(os.path.dirname(os.path.abspath(__file__)), "read_cells.py")
expected = sorted(glob.glob(os.path.join(sys.argv[1], "*.cells")))
failed = not expected
for cells in expected:
    workbook = cells[:-len(".cells")] + ".xls"
    read = subprocess.run([sys.executable, read_cells, "xlrd", workbook], capture_output=True, text=True)
    got, want = normal(read.stdout.splitlines()), normal(open(cells).read().splitlines())
    if read.returncode != 0 or got != want:
        failed = True
        print(workbook, read.stderr, *difflib.unified_diff(want, got, "expected", "xlrd", lineterm="", n=1), sep="\n")
print("%d workbooks compared in %s" % (len(expected), sys.argv[1]))
sys.exit(1 if failed else 0)
