#!/usr/bin/python3
"""Proves that the workbook check fails where it must, and only there.

    checker_self_test.py [--soffice PATH] -- CONVERTER [ARG...]

Workbooks are converted from slightly different .DAT files and checked against
the wrong one; each case names the cells both readers must report, no more and
no fewer. The number comparisons of both readers are checked on their own too.
"""

import argparse
import datetime
import math
import shutil
import struct
import sys
import tempfile
import time
from pathlib import Path

import xlwt

import check_workbook
import libreoffice_reader
import make_dat
import workbook_layout
import xlrd_reader
from run_suite import convert
from workbook_layout import Cell

BASE_POINTS = [list(row) for row in make_dat.SPECIAL_POINTS]
BASE_NAMES = list(make_dat.ODD_NAMES)
TWO_DAYS = 2 * 24 * 3600


def float32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def next_double(value):
    return struct.unpack("<d", struct.pack("<Q", struct.unpack("<Q", struct.pack("<d", value))[0] + 1))[0]


def with_value(point, channel, value, points=BASE_POINTS):
    changed = [list(row) for row in points]
    changed[point][channel] = value
    return changed


def with_name(channel, name):
    names = list(BASE_NAMES)
    names[channel] = name
    return names


def dat(points=BASE_POINTS, interval=5.0, names=BASE_NAMES):
    return make_dat.dat_bytes(points, interval, names)


BASE = dat()
assert struct.pack("<f", BASE_POINTS[0][0]) == struct.pack("<I", 0x3DCCCCCD)  # B7 holds 0.1f
ZERO_FOR_NEGATIVE_ZERO = dat(with_value(0, 1, 0.0))
assert BASE_POINTS[0][1] == 0.0 and math.copysign(1.0, BASE_POINTS[0][1]) < 0  # C7 holds -0.0
FOUR_POINTS = dat(BASE_POINTS + [[1.0] * 7])

# (case, .DAT converted, .DAT the check expects, clock shift in seconds, cells both readers must report)
CASES = [
    ("the right file passes", BASE, BASE, 0, set()),
    ("a value one float32 step off", BASE, dat(with_value(0, 0, ("bits", 0x3DCCCCCE))), 0, {"B7"}),
    ("+0 where -0 belongs", ZERO_FOR_NEGATIVE_ZERO, BASE, 0, {"C7"}),
    ("#NUM! where a number belongs", dat(with_value(0, 0, float("nan"))), BASE, 0, {"B7"}),
    ("a number where #NUM! belongs", BASE, dat(with_value(0, 4, 7.0)), 0, {"F7"}),
    ("a name's last blank differs", BASE, dat(names=with_name(0, "Temp" + " " * 15 + "x")), 0, {"B5"}),
    ("the all-blank name differs", BASE, dat(names=with_name(1, " " * 19 + ".")), 0, {"C5"}),
    ("the interval differs", BASE, dat(interval=-5.0), 0, {"B3", "A7", "A8", "A9"}),
    ("a row more than the data", FOUR_POINTS, BASE, 0, {"A10", "B10", "C10", "D10", "E10", "F10", "G10", "H10"}),
    ("a row fewer than the data", BASE, FOUR_POINTS, 0, {"A10", "B10", "C10", "D10", "E10", "F10", "G10", "H10"}),
    ("the clock two days off", BASE, BASE, -TWO_DAYS, {"A2"}),
]

# (reader, expected double, what the reader found, must match)
NUMBER_CASES = [
    (xlrd_reader, float32(0.1), float32(0.1), True),
    (xlrd_reader, float32(0.1), 0.1, False),
    (xlrd_reader, float32(0.1), next_double(float32(0.1)), False),
    (xlrd_reader, -0.0, 0.0, False),
    (xlrd_reader, 1.401298464324817e-45, 1.401298464324817e-45, True),
    (xlrd_reader, 1.401298464324817e-45, 0.0, False),
    (libreoffice_reader, float32(0.1), "0.100000001490116", True),
    (libreoffice_reader, float32(0.1), "0.1", False),
    (libreoffice_reader, float32(0.1), "0.100000001490118", False),
    (libreoffice_reader, -0.0, "-0", True),
    (libreoffice_reader, -0.0, "0", False),
    (libreoffice_reader, 0.0, "-0", False),
    (libreoffice_reader, 3.3999999521443642e+38, "3.39999995214436E+038", True),
    (libreoffice_reader, 3.3999999521443642e+38, "3.39999995214438E+038", False),
    (libreoffice_reader, 1.401298464324817e-45, "1.40129846432482E-045", True),
    (libreoffice_reader, 1.401298464324817e-45, "0", False),
    (libreoffice_reader, 2.4828487247934017e-14, "0.00000000000002482849", True),
    (libreoffice_reader, 2.4828487247934017e-14, "0.00000000000002482851", False),
    (libreoffice_reader, -1661.860595703125, "-1661.86059570313", True),
    (libreoffice_reader, -1661.860595703125, "1661.86059570313", False),
]


def check_number_rules():
    failures = []
    for reader, expected, found, should_match in NUMBER_CASES:
        if reader.numbers_match(expected, found) != should_match:
            failures.append("%s: %r read as %r should %smatch" % (reader.NAME, expected, found,
                                                                  "" if should_match else "not "))
    return failures


def write_cells(path, sheets):
    """A workbook of exactly the given cells, written with xlwt: the way to plant
    what no .DAT file makes (a stray cell, a missing sheet, a date as text)."""
    book = xlwt.Workbook(encoding="utf-8")
    date_style = xlwt.easyxf(num_format_str="M/D/YY h:mm")
    date_only_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for name, cells in sheets:
        sheet = book.add_sheet(name)
        for (row, col), cell in cells.items():
            if cell.kind == "error":
                sheet.row(row).set_cell_error(col, cell.value)
            elif cell.kind == "blank":
                sheet.write(row, col, None)
            elif cell.kind == "date":
                sheet.write(row, col, cell.value, date_style)
            elif cell.kind == "date only":
                sheet.write(row, col, cell.value, date_only_style)
            else:
                sheet.write(row, col, cell.value)
    book.save(str(path))


# Two points; E7 holds #NUM!.
PLAIN_DAT = dat([[1.5, -2.25, 0.1, float("nan"), 1e10, -7.0, 3.0], [2.5, 2.25, -0.1, 4.0, -1e-10, 7.0, 0.0]])
NOW = datetime.datetime.now().replace(microsecond=0)


def plain_sheets(now):
    """[[sheet name, {(row, col): Cell}]] of PLAIN_DAT's workbook, A2 holding now."""
    sheets = workbook_layout.expected_sheets(workbook_layout.read_dat_bytes(PLAIN_DAT), now, now)
    sheets["Sheet1"][(1, 0)] = Cell("date", now)
    return [[name, dict(sheets[name])] for name in workbook_layout.SHEET_NAMES]


EVERY_PLAIN_CELL = {workbook_layout.cell_name(*place) for place in plain_sheets(NOW)[0][1]}


def planted(change):
    """Makes PLAIN_DAT's sheets, A2 the current time, after change(sheets)."""
    def make():
        sheets = plain_sheets(datetime.datetime.now().replace(microsecond=0))
        change(sheets)
        return sheets
    return make


def put(sheet, place, cell):
    def change(sheets):
        sheets[sheet][1][place] = cell
    return change


def drop_sheet(index):
    return lambda sheets: sheets.pop(index)


def rename_sheet(index, name):
    def change(sheets):
        sheets[index][0] = name
    return change


def both(cells):
    return {xlrd_reader.NAME: cells, libreoffice_reader.NAME: cells}


# (case, workbook made by change, cells each reader must report)
PLANTED_CASES = [
    ("the plain workbook passes", planted(lambda sheets: None), both(set())),
    ("a text right of column H", planted(put(0, (0, 8), Cell("text", "x"))), both({"I1"})),
    ("a number in row 6", planted(put(0, (5, 3), Cell("number", 1.0))), both({"D6"})),
    ("a number in C3", planted(put(0, (2, 2), Cell("number", 0.0))), both({"C3"})),
    # A blank cell record shows in no reader's display; xlrd still sees it.
    ("a blank cell in row 4", planted(put(0, (3, 0), Cell("blank", None))),
     {xlrd_reader.NAME: {"A4"}, libreoffice_reader.NAME: set()}),
    ("content on Sheet2", planted(put(1, (0, 0), Cell("text", "x"))), both({"Sheet2!A1"})),
    ("no third sheet", planted(drop_sheet(2)), both({"workbook!sheets"})),
    # Sheet1 is spelt so; a sheet of another name is not it.
    ("Sheet1 named sheet1", planted(rename_sheet(0, "sheet1")), both({"workbook!sheets"} | EVERY_PLAIN_CELL)),
    ("A2 as text", planted(put(0, (1, 0), Cell("text", NOW.isoformat(" ")))), both({"A2"})),
    ("A2 a date without time", planted(put(0, (1, 0), Cell("date only", NOW))), both({"A2"})),
    ("B3 as text", planted(put(0, (2, 1), Cell("text", "5"))), both({"B3"})),
    ("#NUM! as text", planted(put(0, (6, 4), Cell("text", "#NUM!"))), both({"E7"})),
    ("another error value", planted(put(0, (6, 4), Cell("error", "#DIV/0!"))), both({"E7"})),
]


def reported_cells(mismatches, reader):
    return {m.cell if m.sheet == "Sheet1" else "%s!%s" % (m.sheet, m.cell)
            for m in mismatches if m.reader == reader}


def check_cases(converter, soffice, work):
    """Makes every workbook of both case tables, has LibreOffice read them all
    at once, then checks each against the .DAT the case names."""
    runs = []  # (case, xls, expected .DAT, since, until, cells each reader must report)
    converted = {}  # .DAT bytes -> (xls, since, until)
    for index, (case, made_from, expected_from, shift, must_report) in enumerate(CASES):
        if made_from not in converted:
            source = work / ("made%d.DAT" % index)
            source.write_bytes(made_from)
            xls = work / ("made%d.xls" % index)
            since, until, failure = convert(converter, source, xls)
            if failure:
                return ["converting %s: %s" % (source.name, failure)]
            converted[made_from] = (xls, since, until)
        xls, since, until = converted[made_from]
        expected_dat = work / ("expected%d.DAT" % index)
        expected_dat.write_bytes(expected_from)
        runs.append((case, xls, expected_dat, since + shift, until + shift, both(must_report)))
    plain_dat = work / "plain.DAT"
    plain_dat.write_bytes(PLAIN_DAT)
    for index, (case, make, must_report) in enumerate(PLANTED_CASES):
        xls = work / ("planted%d.xls" % index)
        since = time.time()
        write_cells(xls, make())
        runs.append((case, xls, plain_dat, since, time.time(), must_report))

    fods = libreoffice_reader.convert_to_fods(sorted({run[1] for run in runs}), work / "fods", soffice)
    failures = []
    for case, xls, expected_dat, since, until, must_report in runs:
        mismatches = check_workbook.check(expected_dat, xls, since, until, fods[xls])
        for reader, cells in must_report.items():
            reported = reported_cells(mismatches, reader)
            if reported != cells:
                failures.append("%s: %s reported %s, expected %s"
                                % (case, reader, sorted(reported) or "nothing", sorted(cells) or "nothing"))
                check_workbook.report(case, [m for m in mismatches if m.reader == reader])
        print("%-32s %s" % (case, ", ".join("%s reported %s" % (reader, ", ".join(sorted(cells)) or "nothing")
                                            for reader, cells in must_report.items())))
    return failures


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--soffice", default="soffice")
    parser.add_argument("converter", nargs="+")
    args = parser.parse_args(argv[1:])
    work = Path(tempfile.mkdtemp(prefix="kestrane-checker-"))
    failures = check_number_rules() + check_cases(args.converter, args.soffice, work)
    if failures:
        print("FAILED; the files are kept in %s" % work)
        for failure in failures:
            print("  " + failure)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("the check reports every planted mismatch, and only those")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
