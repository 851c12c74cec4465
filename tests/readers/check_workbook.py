#!/usr/bin/python3
"""Checks a workbook converted from a .DAT file, cell by cell, with two real readers.

    check_workbook.py DAT XLS --since EPOCH --until EPOCH [--fods FODS] [--soffice PATH]

xlrd and LibreOffice each read the workbook back; every cell of every sheet is
compared with what the .DAT file holds: its type (text, number, date, error or
empty), its value, and for A2 a date-time shown with date and time that lies
between --since and --until (seconds since the epoch, taken before and after
the conversion; A2 is local time, to the second). --fods gives LibreOffice's
conversion when it has been made already. Exit status 0: the workbook is right;
1: a mismatch, listed first cells first; 2: the check could not run.
"""

import argparse
import datetime
import math
import struct
import sys
import tempfile
from collections import namedtuple

import libreoffice_reader
import workbook_layout
import xlrd_reader
from workbook_layout import SHEET_NAMES, cell_name

Mismatch = namedtuple("Mismatch", "reader sheet cell expected found")

SHOWN_MISMATCHES = 12
# A date serial stores the time of day as a fraction; allow for its rounding.
SERIAL_SLACK = datetime.timedelta(milliseconds=1)


def date_window(since, until):
    """(earliest, latest) local date-time of a conversion between two epochs,
    to the second: the clock may be read at any moment in between and its
    seconds rounded either way."""
    earliest = datetime.datetime.fromtimestamp(math.floor(since))
    latest = datetime.datetime.fromtimestamp(math.floor(until)) + datetime.timedelta(seconds=1)
    return earliest - SERIAL_SLACK, latest + SERIAL_SLACK


def describe(cell):
    if cell is None:
        return "empty"
    if cell.kind == "number" and isinstance(cell.value, float):
        return "number %r [%016x]" % (cell.value, struct.unpack("<Q", struct.pack("<d", cell.value))[0])
    if cell.kind == "number":
        return "number %s" % cell.value
    if cell.kind == "date" and isinstance(cell.value, tuple):
        return "date-time from %s to %s" % (cell.value[0].isoformat(" "), cell.value[1].isoformat(" "))
    if cell.kind == "date":
        return "date-time %s shown as %r" % (cell.value.isoformat(" "), cell.shown)
    return "%s %r" % (cell.kind, cell.value)


def cell_matches(expected, found, reader):
    if expected is None or found is None:
        return expected is found
    if expected.kind != found.kind:
        return False
    if expected.kind == "number":
        return reader.numbers_match(expected.value, found.value)
    if expected.kind == "date":
        earliest, latest = expected.value
        return earliest <= found.value <= latest and reader.shows_date_and_time(found.shown)
    return expected.value == found.value


def compare(expected_sheets, found_sheets, reader):
    """Mismatches between the expected workbook and what one reader found,
    sheet by sheet, row by row."""
    mismatches = []
    found_names = [name for name, _ in found_sheets]
    if found_names != SHEET_NAMES:
        mismatches.append(Mismatch(reader.NAME, "workbook", "sheets", SHEET_NAMES, found_names))
    found_by_name = dict(found_sheets)
    for name in SHEET_NAMES:
        expected = expected_sheets[name]
        found = found_by_name.get(name, {})
        for place in sorted(set(expected) | set(found)):
            if not cell_matches(expected.get(place), found.get(place), reader):
                mismatches.append(Mismatch(reader.NAME, name, cell_name(*place),
                                           describe(expected.get(place)), describe(found.get(place))))
    return mismatches


def check(dat_path, xls_path, since, until, fods_path):
    """Every mismatch either reader finds in the workbook."""
    earliest, latest = date_window(since, until)
    expected = workbook_layout.expected_sheets(workbook_layout.read_dat(dat_path), earliest, latest)
    return (compare(expected, xlrd_reader.read_workbook(xls_path), xlrd_reader)
            + compare(expected, libreoffice_reader.read_fods(fods_path), libreoffice_reader))


def report(title, mismatches, out=sys.stdout):
    """Prints the first mismatches of each reader in a readable form."""
    out.write("%s: %d mismatching cells\n" % (title, len(mismatches)))
    for reader in sorted({m.reader for m in mismatches}):
        of_reader = [m for m in mismatches if m.reader == reader]
        for m in of_reader[:SHOWN_MISMATCHES]:
            out.write("  %s %s!%s\n      expected %s\n      found    %s\n"
                      % (m.reader, m.sheet, m.cell, m.expected, m.found))
        if len(of_reader) > SHOWN_MISMATCHES:
            out.write("  %s: ... and %d more\n" % (reader, len(of_reader) - SHOWN_MISMATCHES))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dat")
    parser.add_argument("xls")
    parser.add_argument("--since", type=float, required=True)
    parser.add_argument("--until", type=float, required=True)
    parser.add_argument("--fods", help="LibreOffice's conversion of XLS, when already made")
    parser.add_argument("--soffice", default="soffice")
    args = parser.parse_args(argv[1:])
    try:
        with tempfile.TemporaryDirectory(prefix="kestrane-check-") as scratch:
            fods = args.fods or libreoffice_reader.convert_to_fods([args.xls], scratch, args.soffice)[args.xls]
            mismatches = check(args.dat, args.xls, args.since, args.until, fods)
    except Exception as failure:  # any reader's failure to read is a failed check, told as such
        sys.stderr.write("check_workbook: cannot check %s: %s: %s\n" % (args.xls, type(failure).__name__, failure))
        return 2
    if mismatches:
        report(args.xls, mismatches)
        return 1
    print("%s: every cell matches %s" % (args.xls, args.dat))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
