#!/usr/bin/python3
# compare_cells.py xlrd|libreoffice FOLDER [NAME...]: each FOLDER/NAME.xls (by default every one with a NAME.cells)
# holds what NAME.cells says read_cells.py must print for it; xlrd bit for bit, with the column widths and the records
# where named, LibreOffice to its 15 digits. Prints each difference; fails on any, and on nothing to compare.
import difflib, glob, math, os, subprocess, sys


def normal(lines, reader, records):
    fields = [line.split(" ") for line in lines if reader == "xlrd" or not line.startswith("width ")]
    return [f[:4] + [float.fromhex(f[4]).hex(), f[5]] + (f[6:] if records else []) if f[0] == "cell" else f for f in fields]


def same(got, want, reader):
    if reader == "libreoffice" and got[0] == want[0] == "cell" and got[:4] + got[5:] == want[:4] + want[5:]:
        a, b = float.fromhex(got[4]), float.fromhex(want[4])
        return math.copysign(1, a) == math.copysign(1, b) and abs(a - b) <= abs(b) * 1e-14
    return got == want


reader, folder = sys.argv[1], sys.argv[2]
names = sys.argv[3:] or [os.path.basename(c)[:-len(".cells")] for c in sorted(glob.glob(os.path.join(folder, "*.cells")))]
workbooks = [os.path.join(folder, name + ".xls") for name in names]
read_cells = os.path.join(os.path.dirname(os.path.abspath(__file__)), "read_cells.py")
read = subprocess.run([sys.executable, read_cells, reader] + workbooks, capture_output=True, text=True)
books = []
for line in read.stdout.splitlines():  # read_cells.py starts each workbook with a line "file"
    books.append([]) if line == "file" else books[-1].append(line)
failed = not names or read.returncode != 0 or len(books) != len(names)
for workbook, book in zip(workbooks, books):
    want = open(workbook[:-len(".xls")] + ".cells").read().splitlines()
    records = any(line.startswith("cell ") and not line.endswith(" -") for line in want)
    got, want = normal(["file"] + book, reader, records), normal(want, reader, records)
    if len(got) != len(want) or not all(same(g, w, reader) for g, w in zip(got, want)):
        failed = True
        diff = difflib.unified_diff([" ".join(f) for f in want], [" ".join(f) for f in got], "expected", reader, lineterm="", n=1)
        print(workbook, *diff, sep="\n")
print(read.stderr if failed else "", "%d workbooks compared in %s by %s" % (len(names), folder, reader))
sys.exit(1 if failed else 0)
