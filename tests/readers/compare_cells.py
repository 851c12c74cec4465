#!/usr/bin/python3
# compare_cells.py xlrd|libreoffice FOLDER [NAME...]: whether a real reader finds in each FOLDER/NAME.xls (by default
# every one with a NAME.cells) the "sheet NAME", "cell ROW COL KIND HEX-FLOAT UTF16-HEX RECORD" and "width COL WIDTH"
# lines NAME.cells lists: xlrd bit for bit, with the widths and where named each cell's record (NUMBER, RK-integer...),
# and none of the rules xlrd forgives but Excel refuses broken; LibreOffice by what it writes again, but for the sign
# of zero. Prints each difference; fails on any, and on nothing to compare.
import difflib, glob, os, struct, subprocess, sys, tempfile


# A cell's record by name, an RK record with the form its two flag bits give.
def record_name(rid, body):
    if rid == 0x027E:
        return ["RK-float", "RK-float-x100", "RK-integer", "RK-integer-x100"][body[6] & 3]
    return {0x0203: "NUMBER", 0x00FD: "LABELSST", 0x0205: "BOOLERR"}.get(rid, "%04X" % rid)


# Record sizes, cell XFs, DIMENSIONS and SST counts; and each sheet's cell records by name.
def strict_problems(stream, strings):
    records, pos = [], 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        records.append((pos, rid, size, stream[pos + 4:pos + 4 + size]))
        pos += 4 + size
    problems = ["record %04X of %d bytes" % (rid, size) for _, rid, size, _ in records if size > 8224]
    style = [struct.unpack_from("<H", b, 4)[0] & 4 for _, rid, _, b in records if rid == 0x00E0]
    labels, cells, sheets = 0, None, []
    for _, rid, _, body in records:
        if rid == 0x0200:
            cells, dims = [], struct.unpack_from("<IIHH", body)
            sheets.append({})
        elif rid in (0x0203, 0x027E, 0x00FD, 0x0205, 0x0201, 0x00BD, 0x00D6) and cells is not None:
            row, col, xf = struct.unpack_from("<HHH", body)
            cells.append((row, row + 1, col, col + 1))
            sheets[-1][row, col] = record_name(rid, body)
            labels += rid == 0x00FD
            if len(style) < 16 or not 15 <= xf < len(style) or style[xf]:
                problems.append("cell (%d, %d) names XF %d of %d, no cell XF" % (row, col, xf, len(style)))
        elif rid == 0x000A and cells is not None:
            span = tuple(f(c[i] for c in cells) for i, f in enumerate((min, max, min, max))) if cells else (0, 0, 0, 0)
            problems += ["DIMENSIONS %s for cells spanning %s" % (dims, span)] if dims != span else []
            cells = None
    sst = [struct.unpack_from("<II", b) for _, rid, _, b in records if rid == 0x00FC]
    problems += ["SST counts %s for %d uses of %d strings" % (s, labels, strings)
                 for s in sst if s != (labels, strings)]
    return problems, sheets


def cell(row, col, kind, number, text="", record="-"):
    return "cell %d %d %s %s %s %s" % (row, col, kind, float(number).hex(), text.encode("utf-16-be").hex() or "-",
                                       record)


def read_xlrd(path):
    import xlrd
    try:
        book = xlrd.open_workbook(path, formatting_info=True, on_demand=True, logfile=open(os.devnull, "w"))
        stream = xlrd.compdoc.CompDoc(open(path, "rb").read(), logfile=book.logfile).get_named_stream("Workbook")
        problems, records = strict_problems(stream, len(book._sharedstrings))
        lines = ["problem " + problem for problem in problems]
        kinds, epoch = ["", "text", "number", "date", "", "error"], 1462 * book.datemode  # dates from 1899-12-30
        for sheet, record in zip(book.sheets(), records):
            lines.append("sheet " + sheet.name)
            lines += [cell(r, c, kinds[x.ctype], x.value + epoch if x.ctype == 3 else 0 if x.ctype == 1 else x.value,
                           x.value if x.ctype == 1 else "", record.get((r, c), "-"))
                      for r in range(sheet.nrows) for c, x in enumerate(sheet.row(r)) if x.ctype in (1, 2, 3, 5)]
            lines += ["width %d %d" % (c, info.width) for c, info in sorted(sheet.colinfo_map.items())]
        return lines
    except Exception as failure:  # a file xlrd refuses is a problem to report, not a crash
        return ["problem xlrd refuses the file: " + repr(failure)]


# LibreOffice reads each workbook and writes it again as its own, for xlrd to read: its sheets and cells, whose records,
# and the widths and rules, are its own writer's.
def read_libreoffice(paths, out):
    subprocess.run(["soffice", "--headless", "--norestore", "-env:UserInstallation=file://%s/profile" % out,
                    "--convert-to", "xls:MS Excel 97", "--outdir", out] + paths, capture_output=True, timeout=600)
    books = [read_xlrd(os.path.join(out, os.path.basename(path))) for path in paths]
    return [[line for line in book if line.startswith(("sheet", "cell"))] for book in books]


# A listed cell's number as float.hex() prints it.
def normal(line):
    f = line.split(" ")
    return " ".join(f[:4] + [float.fromhex(f[4]).hex()] + f[5:]) if f[0] == "cell" else line


reader, folder = sys.argv[1], sys.argv[2]
names = sys.argv[3:] or [os.path.basename(c)[:-6] for c in sorted(glob.glob(os.path.join(folder, "*.cells")))]
workbooks = [os.path.join(folder, name + ".xls") for name in names]
scratch = tempfile.TemporaryDirectory()  # LibreOffice's profile and what it converts
books = read_libreoffice(workbooks, scratch.name) if reader == "libreoffice" else map(read_xlrd, workbooks)
failed = not names
for workbook, got in zip(workbooks, books):
    want = [normal(line) for line in open(workbook[:-len(".xls")] + ".cells").read().splitlines()
            if reader == "xlrd" or not line.startswith("width ")]
    if all(line.endswith(" -") for line in want if line.startswith("cell ")):  # no record named: none compared
        got = [" ".join(line.split(" ")[:6] + ["-"]) if line.startswith("cell ") else line for line in got]
    if reader == "libreoffice":  # which writes a zero without its sign
        want = [line.replace(" -0x0.0p+0 ", " 0x0.0p+0 ") for line in want]
    if got != want:
        failed = True
        print(workbook, *difflib.unified_diff(want, got, "expected", reader, lineterm="", n=1), sep="\n")
print("%d workbooks compared in %s by %s" % (len(names), folder, reader))
sys.exit(1 if failed else 0)
