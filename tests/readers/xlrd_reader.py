"""Reads every cell of an .xls workbook with xlrd.

xlrd hands numbers over as the very doubles the file holds, so they can be
compared bit for bit. A date is a number cell whose format is a date format;
xlrd reports it as a date and we turn its serial into a local date-time.
"""

import datetime
import re
import struct

import xlrd

from workbook_layout import Cell

_KIND = {
    xlrd.XL_CELL_TEXT: "text",
    xlrd.XL_CELL_NUMBER: "number",
    xlrd.XL_CELL_DATE: "date",
    xlrd.XL_CELL_BOOLEAN: "boolean",
    xlrd.XL_CELL_ERROR: "error",
    xlrd.XL_CELL_BLANK: "blank",
}

_EPOCH = {0: datetime.datetime(1899, 12, 30), 1: datetime.datetime(1904, 1, 1)}


def _date_time(serial, datemode):
    """The serial as a date-time, to the microsecond (serials after February 1900)."""
    return _EPOCH[datemode] + datetime.timedelta(days=serial)


NAME = "xlrd"


def numbers_match(expected, got):
    """Bit for bit: the double in the file is the float32 widened, sign of zero included."""
    return struct.pack("<d", expected) == struct.pack("<d", got)


def shows_date_and_time(format_string):
    """Whether a number format shows both a date and a time of day."""
    bare = re.sub(r'"[^"]*"|\\.|\[[^\]]*\]', "", format_string.lower())
    return bool(re.search(r"[dy]", bare)) and "h" in bare


def read_workbook(path):
    """[(sheet name, {(row, col): Cell})] in sheet order, every cell that is not empty.

    Blank cells (a cell record without a value) are reported too, as "blank":
    formatting_info is on so that xlrd keeps them and the date's format.
    """
    book = xlrd.open_workbook(str(path), formatting_info=True)
    sheets = []
    for sheet in book.sheets():
        cells = {}
        for row in range(sheet.nrows):
            for col, cell in enumerate(sheet.row(row)):
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                kind = _KIND.get(cell.ctype, "type %d" % cell.ctype)
                value = cell.value
                shown = None
                if kind == "error":
                    value = xlrd.error_text_from_code.get(value, "error code %r" % value)
                elif kind == "date":
                    format_string = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
                    value = _date_time(value, book.datemode)
                    shown = format_string
                cells[(row, col)] = Cell(kind, value, shown)
        sheets.append((sheet.name, cells))
    return sheets
