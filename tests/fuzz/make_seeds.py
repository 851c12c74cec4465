#!/usr/bin/python3
"""make_seeds.py READER_DIR WRITER_DIR: .DAT seeds for both fuzz targets."""
import math, os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from dat_log import LARGEST_LOG_POINTS, dat_bytes  # noqa: E402

NAMES = (b"Ch 1", bytes(20), b"\x80\x81\xe9", b"", b"x" * 25, b"Ch 6", b"Ch 7")


def dat(points, values=(0.1, -0.0, math.nan, math.inf, 1e-45, 3.4e38, 7.0), timing=(5, 7)):
    return dat_bytes([[values[(p + c) % 7] for c in range(7)] for p in range(points)], timing, NAMES)


SEEDS = {"none": dat(0), "one": dat(1), "three": dat(3, timing=(2.5, -0.5)), "most": dat(LARGEST_LOG_POINTS),
         "surplus": dat(3) + bytes(90), "short": dat(3)[:-70], "tiny": bytes(109)}
for folder in sys.argv[1:]:
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name + ".dat"), "wb") as out:
            out.write(data)
