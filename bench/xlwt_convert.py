#!/usr/bin/python3
"""Converts a .DAT logger file to an .xls workbook with xlwt, cell by cell.

    xlwt_convert.py IN.DAT OUT.xls

The same workbook as Kestrane writes: title block, interval, channel names and one
row per point. It is the plain way one would do the job with xlwt, kept so for the
side-by-side speed comparison (compare_xlwt.py).
"""

import datetime
import math
import os
import struct
import sys
import tempfile
from pathlib import Path

import xlwt

RECORD = 20
CHANNELS = 7


class DatError(Exception):
    pass


class NegativeZeroCell:
    """A NUMBER record for -0.0: xlwt's own number cell stores -0.0 as the
    integer 0 and so loses the sign."""

    def __init__(self, row, col, xf_index):
        self.row, self.col, self.xf_index = row, col, xf_index

    def get_biff_data(self):
        return struct.pack("<5Hd", 0x0203, 14, self.row, self.col, self.xf_index, -0.0)


def read_dat(path):
    """(points, interval, names) from a .DAT file. The point count comes from the
    length, rounded half to even as the logger's files expect; a record past the
    end reads as zero bytes."""
    data = Path(path).read_bytes()
    count = round((round(len(data) / RECORD) - 9) / CHANNELS)
    if count < 0:
        raise DatError("file too short to be a .DAT file")
    if CHANNELS * count + 9 > 32767:
        raise DatError("too many points")

    def record(n):  # records count from 1
        return data[RECORD * (n - 1):RECORD * n].ljust(RECORD, b"\0")

    def value(n):
        return struct.unpack("<f", record(n)[:4])[0]

    points = [[value(CHANNELS * i + c) for c in range(1, CHANNELS + 1)] for i in range(count)]
    interval_figure = value(CHANNELS * count + 1)
    if math.isnan(interval_figure):
        raise DatError("interval overflow")
    interval = round(interval_figure)
    if not -32768 <= interval <= 32767:
        raise DatError("interval overflow")
    names = [windows_1252(record(CHANNELS * count + 3 + k)) for k in range(CHANNELS)]
    return points, interval, names


def windows_1252(raw):
    """The logger's code page; its five unassigned bytes become the control
    characters of the same number, as Windows decodes them."""
    return "".join(chr(b) if b in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else bytes([b]).decode("cp1252") for b in raw)


def write_number(sheet, row, col, value, default_xf):
    """A number cell; a value that is not finite becomes #NUM!."""
    if not math.isfinite(value):
        sheet.row(row).set_cell_error(col, "#NUM!")
    elif value == 0.0 and math.copysign(1.0, value) < 0:
        sheet.row(row).insert_cell(col, NegativeZeroCell(row, col, default_xf))
    else:
        sheet.write(row, col, value)


def convert(dat_path, xls_path):
    points, interval, names = read_dat(dat_path)

    book = xlwt.Workbook(encoding="cp1252")
    sheet = book.add_sheet("Sheet1")
    book.add_sheet("Sheet2")
    book.add_sheet("Sheet3")
    date_style = xlwt.easyxf(num_format_str="M/D/YY h:mm")
    default_xf = book.add_style(xlwt.Style.default_style)

    sheet.write(0, 0, "Periodic Data Import")
    sheet.write(1, 0, datetime.datetime.now().replace(microsecond=0), date_style)
    sheet.write(2, 0, "Logging Time Inteval (s) =")
    sheet.write(2, 1, interval)
    sheet.write(4, 0, "Time Increment (s)")
    sheet.col(0).width = 256 * (len("Logging Time Inteval (s) =") + 2)

    for channel in range(CHANNELS):
        sheet.write(4, channel + 1, names[channel])
        sheet.col(channel + 1).width = 256 * 22

    for channel in range(CHANNELS):
        for i, point in enumerate(points):
            write_number(sheet, 6 + i, channel + 1, point[channel], default_xf)

    # A7 gets the interval even when there are no points; writing stops there.
    elapsed = interval
    sheet.write(6, 0, elapsed)
    for i in range(1, len(points)):
        elapsed += interval
        sheet.write(6 + i, 0, elapsed)

    save_whole(book, Path(xls_path))


def save_whole(book, target):
    """Saves to a temporary file beside the target and renames it over the
    target only once it is complete, so a failure leaves no partial workbook."""
    handle, temporary = tempfile.mkstemp(prefix=".xlwt-", suffix=".xls", dir=str(target.parent))
    os.close(handle)
    try:
        book.save(temporary)
        os.chmod(temporary, 0o644)
        os.replace(temporary, str(target))
    except BaseException:
        os.unlink(temporary)
        raise


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    try:
        convert(argv[1], argv[2])
    except (OSError, DatError) as failure:
        sys.stderr.write("xlwt_convert: %s\n" % failure)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
