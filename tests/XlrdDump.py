"""Prints every cell of an .xls workbook as xlrd reads it, one line each, in a
form a test can compare exactly: texts as UTF-16LE hex, numbers as the bits of
their double, dates as xlrd's (year, month, day, hour, minute, second)."""
import struct
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
print("sheets " + "|".join(book.sheet_names()))
for sheet in book.sheets():
    for row in range(sheet.nrows):
        for col in range(sheet.ncols):
            cell = sheet.cell(row, col)
            where = sheet.name + " " + xlrd.cellname(row, col)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            if cell.ctype == xlrd.XL_CELL_TEXT:
                print(where, "text", cell.value.encode("utf-16-le").hex())
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                print(where, "number", "%016x" % struct.unpack("<Q", struct.pack("<d", cell.value))[0])
            elif cell.ctype == xlrd.XL_CELL_DATE:
                print(where, "date", " ".join(str(n) for n in xlrd.xldate_as_tuple(cell.value, book.datemode)))
            elif cell.ctype == xlrd.XL_CELL_ERROR:
                print(where, "error", xlrd.error_text_from_code[cell.value])
            else:
                print(where, "other", cell.ctype)
