# The log both end-to-end roads convert (25 samples, a 3-second interval), and the check of its workbook.
import struct
import sys
from pathlib import Path

import xlrd

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from dat_log import dat_bytes  # noqa: E402

VALUES = [[(c + 1) * 1000.0 + p / 7.0 for c in range(7)] for p in range(25)]


def write_log(path, names):
    path.write_bytes(dat_bytes(VALUES, (3, 0), names))


def check_workbook(path, names):
    """The title block, the names whole, and every sample as logged, as xlrd reads them."""
    sheet = xlrd.open_workbook(str(path)).sheet_by_index(0)
    assert sheet.cell_value(0, 0) == "Periodic Data Import" and sheet.cell_value(2, 1) == 3.0
    assert sheet.row_values(4, 0, 8) == ["Time Increment (s)"] + [n.ljust(20) for n in names], sheet.row_values(4)
    for p, row in enumerate(VALUES):
        expected = [3.0 * (p + 1)] + [struct.unpack("<f", struct.pack("<f", v))[0] for v in row]
        assert sheet.row_values(6 + p, 0, 8) == expected, (p, sheet.row_values(6 + p))
    assert sheet.nrows == 6 + len(VALUES)
