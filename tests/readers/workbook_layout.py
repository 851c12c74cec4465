"""What a workbook converted from a .DAT file must hold, cell by cell.

The .DAT file is read here on its own terms, from its bytes, so that the check
does not share a line of code with any converter it checks.
"""

import math
import struct
from collections import namedtuple
from pathlib import Path

RECORD = 20
CHANNELS = 7
SHEET_NAMES = ["Sheet1", "Sheet2", "Sheet3"]

# kind is one of "text", "number", "date", "error" (readers may also report
# "boolean", "blank" or whatever else they find). value: the str, the float, the
# error text, or for a date a datetime (expected: a (earliest, latest) pair).
# shown: what a reader displays, where it matters (LibreOffice's text of a date).
Cell = namedtuple("Cell", "kind value shown", defaults=(None,))

Dat = namedtuple("Dat", "values interval names")


def cell_name(row, col):
    """A1-style name of the zero-based (row, col)."""
    letters = ""
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return "%s%d" % (letters, row + 1)


def _windows_1252(raw):
    # Bytes the code page leaves undefined (81, 8D, 8F, 90, 9D) map to the
    # control character of the same number, as Windows itself decodes them.
    return "".join(chr(b) if b in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else bytes([b]).decode("cp1252") for b in raw)


def read_dat(path):
    """Values (a list of seven-float rows), interval and names of a .DAT file."""
    return read_dat_bytes(Path(path).read_bytes(), str(path))


def read_dat_bytes(data, label="the .DAT file"):
    """Values, interval and names of the bytes of a .DAT file.

    The point count follows from the length, each division rounded half to
    even; a record beyond the end of the file reads as zero bytes.
    """
    count = round((round(len(data) / RECORD) - 9) / CHANNELS)
    if count < 0:
        raise ValueError("%s: too short for a .DAT file" % label)

    def record(n):  # records count from 1
        return data[RECORD * (n - 1):RECORD * n].ljust(RECORD, b"\0")

    def number(n):
        return struct.unpack("<f", record(n)[:4])[0]

    values = [[number(CHANNELS * i + c) for c in range(1, CHANNELS + 1)] for i in range(count)]
    interval = number(CHANNELS * count + 1)
    if math.isnan(interval) or not -32768 <= round(interval) <= 32767:
        raise ValueError("%s: interval does not fit 16 bits" % label)
    names = [_windows_1252(record(CHANNELS * count + 3 + k)) for k in range(CHANNELS)]
    return Dat(values, round(interval), names)


def channel_cell(value):
    """A channel value: the float32 widened to a double, or #NUM! when not finite."""
    if math.isfinite(value):
        return Cell("number", value)
    return Cell("error", "#NUM!")


def expected_sheets(dat, earliest, latest):
    """{sheet name: {(row, col): Cell}} of the whole workbook; every cell not
    listed must be empty. earliest and latest bound the date-time in A2."""
    cells = {
        (0, 0): Cell("text", "Periodic Data Import"),
        (1, 0): Cell("date", (earliest, latest)),
        (2, 0): Cell("text", "Logging Time Inteval (s) ="),
        (2, 1): Cell("number", float(dat.interval)),
        (4, 0): Cell("text", "Time Increment (s)"),
    }
    for channel, name in enumerate(dat.names):
        cells[(4, channel + 1)] = Cell("text", name)
    for i, row in enumerate(dat.values):
        for channel, value in enumerate(row):
            cells[(6 + i, channel + 1)] = channel_cell(value)
    # The time column starts with the interval in A7 even when there are no
    # points; it then has as many cells as there are points.
    for i in range(max(len(dat.values), 1)):
        cells[(6 + i, 0)] = Cell("number", float((i + 1) * dat.interval))
    sheets = {name: {} for name in SHEET_NAMES}
    sheets["Sheet1"] = cells
    return sheets
