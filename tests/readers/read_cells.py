#!/usr/bin/python3
# read_cells.py xlrd|libreoffice FILE...: what a real reader finds in each workbook. Per FILE a line "file",
# then "sheet NAME" and "cell ROW COL KIND NUMBER-AS-HEX-FLOAT TEXT-AS-UTF16LE-HEX RECORD" per cell that is not empty
# (RECORD: the record it was read from, such as NUMBER or RK-integer; "-" from LibreOffice); from xlrd also
# "width COL WIDTH" per fitted column and "problem WHAT" per rule that xlrd forgives but Excel refuses.
import datetime, os, struct, subprocess, sys, tempfile, xml.etree.ElementTree as ET


# A cell's record by name, an RK record with the form its two flag bits give.
def record_name(rid, body):
    if rid == 0x027E:
        return ["RK-float", "RK-float-x100", "RK-integer", "RK-integer-x100"][body[6] & 3]
    return {0x0203: "NUMBER", 0x00FD: "LABELSST", 0x0205: "BOOLERR"}.get(rid, "%04X" % rid)


# Record sizes, BOUNDSHEET offsets, cell XFs, DIMENSIONS and SST counts; and each sheet's cell records by name.
def strict_problems(stream, strings):
    records, pos = [], 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        records.append((pos, rid, size, stream[pos + 4:pos + 4 + size]))
        pos += 4 + size
    problems = ["record %04X of %d bytes" % (rid, size) for _, rid, size, _ in records if size > 8224]
    bofs = {p for p, rid, _, _ in records if rid == 0x0809}
    problems += ["BOUNDSHEET offset %d is no BOF" % struct.unpack_from("<I", b)[0]
                 for _, rid, _, b in records if rid == 0x0085 and struct.unpack_from("<I", b)[0] not in bofs]
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
    problems += ["SST counts %s for %d uses of %d strings" % (s, labels, strings) for s in sst if s != (labels, strings)]
    return problems, sheets


def cell(row, col, kind, number, text="", record=None):
    print("cell", row, col, kind, float(number).hex(), text.encode("utf-16-le").hex() or "-", record or "-")


def read_xlrd(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True, on_demand=True, logfile=open(os.devnull, "w"))
    stream = xlrd.compdoc.CompDoc(open(path, "rb").read(), logfile=open(os.devnull, "w")).get_named_stream("Workbook")
    problems, records = strict_problems(stream, len(book._sharedstrings))
    for problem in problems:
        print("problem", problem)
    for sheet, record in zip(book.sheets(), records):
        print("sheet", sheet.name)
        for r in range(sheet.nrows):
            for c, x in enumerate(sheet.row(r)):
                if x.ctype in (1, 2, 3, 5):
                    cell(r, c, ["", "text", "number", "date", "", "error"][x.ctype], 0 if x.ctype == 1 else x.value,
                         x.value if x.ctype == 1 else "", record.get((r, c)))
        for c, info in sorted(sheet.colinfo_map.items()):
            print("width", c, info.width)


def read_libreoffice(paths, out):
    subprocess.run(["soffice", "--headless", "--norestore", "-env:UserInstallation=file://%s/profile" % out,
                    "--convert-to", "fods", "--outdir", out] + paths, capture_output=True, timeout=600)
    ns = {p: "urn:oasis:names:tc:opendocument:xmlns:%s:1.0" % p for p in ("table", "text", "office")}
    attr = lambda e, name, default=None: e.get("{%s}%s" % (ns[name.split(":")[0]], name.split(":")[1]), default)
    text = lambda p: (p.text or "") + "".join((" " * int(attr(c, "text:c", 1)) if c.tag.endswith("}s") else text(c))
                                              + (c.tail or "") for c in p)
    for path in paths:
        print("file")
        for table in ET.parse(os.path.join(out, os.path.basename(path)[:-4] + ".fods")).iterfind(".//table:table", ns):
            print("sheet", attr(table, "table:name"))
            rows = table.iterfind(".//table:table-row", ns)
            for r, row in enumerate(x for x in rows for _ in range(int(attr(x, "table:number-rows-repeated", 1)))):
                c = 0
                for x in row:
                    kind, shown = attr(x, "office:value-type"), "".join(text(p) for p in x.iterfind("text:p", ns))
                    if shown == "#NUM!":
                        cell(r, c, "error", 0x24)
                    elif kind in ("string", "float"):
                        cell(r, c, "text", 0, shown) if kind == "string" else cell(r, c, "number", attr(x, "office:value"))
                    elif kind == "date":
                        when = datetime.datetime.fromisoformat(attr(x, "office:date-value"))
                        cell(r, c, "date", (when - datetime.datetime(1899, 12, 30)) / datetime.timedelta(days=1))
                    c += int(attr(x, "table:number-columns-repeated", 1))


if __name__ == "__main__":
    if sys.argv[1] == "libreoffice":
        with tempfile.TemporaryDirectory() as out:
            read_libreoffice(sys.argv[2:], out)
    for path in sys.argv[2:] if sys.argv[1] == "xlrd" else []:
        print("file")
        try:
            read_xlrd(path)
        except Exception as failure:  # a file xlrd refuses is a problem to report, not a crash
            print("problem xlrd refuses the file:", repr(failure))
