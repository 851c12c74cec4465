"""Reads every cell of .xls workbooks with LibreOffice.

LibreOffice converts each workbook to a flat OpenDocument spreadsheet (.fods),
which the standard library's XML parser reads. All workbooks of a run go through
one soffice process, since starting it takes seconds, and each run gets its own
user profile so that runs side by side do not share (and lock) one.

What LibreOffice (7.4) writes, as observed:
- numbers: office:value holds at most 15 significant digits, and never more
  than 20 decimal places when written without an exponent (magnitudes from
  1e-15 up to 1e15); so 0.1f widened, 0.10000000149011612, is written
  0.100000001490116 and 2.4828487e-14 as 0.00000000000002482849. Its rounding
  goes through a longer intermediate and is off by up to 0.55 of the last digit
  kept. Negative zero is written "-0".
- an error value: a cell with calcext:value-type="error", an empty formula
  ("of:=") and the error's text (#NUM!) as its paragraph.
- a date: office:value-type="date" with office:date-value as an ISO date-time
  to the second, and the shown text in its paragraph.
"""

import datetime
import math
import re
import subprocess
import xml.etree.ElementTree as ET
from decimal import Decimal
from pathlib import Path

from workbook_layout import Cell

NAME = "LibreOffice"

_NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "calcext": "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0",
}


def _q(prefix, local):
    return "{%s}%s" % (_NS[prefix], local)


class ConversionError(Exception):
    pass


def convert_to_fods(xls_paths, out_dir, soffice="soffice", timeout=600):
    """Converts every workbook with one soffice run; returns {xls path: fods path}."""
    out_dir = Path(out_dir).resolve()
    out_dir.mkdir(parents=True, exist_ok=True)
    stems = [Path(p).stem for p in xls_paths]
    if len(set(stems)) != len(stems):
        raise ConversionError("workbooks converted together need different names: %s" % stems)
    profile = out_dir / "libreoffice-profile"
    command = [soffice, "--headless", "--norestore", "--nologo", "--nodefault", "--nolockcheck",
               "-env:UserInstallation=" + profile.as_uri(),
               "--convert-to", "fods", "--outdir", str(out_dir)] + [str(Path(p).resolve()) for p in xls_paths]
    try:
        run = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    except (OSError, subprocess.TimeoutExpired) as failure:
        raise ConversionError("cannot run %s: %s" % (soffice, failure))
    converted = {}
    for xls, stem in zip(xls_paths, stems):
        fods = out_dir / (stem + ".fods")
        if run.returncode != 0 or not fods.is_file():
            raise ConversionError("LibreOffice did not convert %s (exit status %d)\n%s%s"
                                  % (xls, run.returncode, run.stdout, run.stderr))
        converted[xls] = fods
    return converted


def numbers_match(expected, written):
    """Whether LibreOffice's office:value text is the expected double, to the
    precision LibreOffice keeps: one unit of the 15th significant digit (of the
    20th decimal place where that is coarser and no exponent is written). The
    sign of zero must match."""
    got = Decimal(written)
    if expected == 0:
        return got == 0 and written.startswith("-") == (math.copysign(1.0, expected) < 0)
    exact = Decimal(expected)
    exponent = exact.adjusted()
    kept = Decimal(10) ** (exponent - 14)
    if -15 < exponent < 15:
        kept = max(kept, Decimal("1e-20"))
    return abs(got - exact) <= kept


def shows_date_and_time(shown):
    """Whether the text LibreOffice shows holds a date and a time of day."""
    return (shown is not None and re.search(r"\d+[/.-]\d+[/.-]\d+", shown) is not None
            and re.search(r"\d+:\d\d", shown) is not None)


def _collapsed(text):
    # Runs of white space in a paragraph's character data stand for one blank;
    # further blanks are written as <text:s text:c="n"/>.
    return re.sub(r"[ \t\r\n]+", " ", text or "")


def _paragraph_text(element):
    parts = [_collapsed(element.text)]
    for child in element:
        if child.tag == _q("text", "s"):
            parts.append(" " * int(child.get(_q("text", "c"), "1")))
        elif child.tag == _q("text", "tab"):
            parts.append("\t")
        elif child.tag == _q("text", "line-break"):
            parts.append("\n")
        else:
            parts.append(_paragraph_text(child))
        parts.append(_collapsed(child.tail))
    return "".join(parts)


def _cell_text(cell):
    paragraphs = cell.findall(_q("text", "p"))
    return "\n".join(_paragraph_text(p) for p in paragraphs) if paragraphs else None


def _cell(element):
    """The Cell of a table-cell element, or None when it is empty."""
    value_type = element.get(_q("office", "value-type"))
    shown = _cell_text(element)
    if element.get(_q("calcext", "value-type")) == "error":
        return Cell("error", shown)
    if value_type == "string":
        string_value = element.get(_q("office", "string-value"))
        return Cell("text", string_value if string_value is not None else (shown or ""))
    if value_type == "float":
        return Cell("number", element.get(_q("office", "value")), shown)
    if value_type == "date":
        return Cell("date", datetime.datetime.fromisoformat(element.get(_q("office", "date-value"))), shown)
    if value_type is not None:
        return Cell(value_type, element.get(_q("office", "value")), shown)
    if shown is not None or element.get(_q("table", "formula")) is not None:
        return Cell("untyped", shown)
    return None


def read_fods(path):
    """[(sheet name, {(row, col): Cell})] in sheet order, every cell that is not empty."""
    root = ET.parse(str(path)).getroot()
    sheets = []
    for table in root.iter(_q("table", "table")):
        cells = {}
        row = 0
        for row_element in table.iter(_q("table", "table-row")):
            row_repeat = int(row_element.get(_q("table", "number-rows-repeated"), "1"))
            found = []
            col = 0
            for cell_element in row_element:
                if cell_element.tag not in (_q("table", "table-cell"), _q("table", "covered-table-cell")):
                    continue
                repeat = int(cell_element.get(_q("table", "number-columns-repeated"), "1"))
                cell = _cell(cell_element)
                if cell is not None:
                    found += [(col + k, cell) for k in range(repeat)]
                col += repeat
            if found:
                for k in range(row_repeat):
                    for col, cell in found:
                        cells[(row + k, col)] = cell
            row += row_repeat
        sheets.append((table.get(_q("table", "name")), cells))
    return sheets
