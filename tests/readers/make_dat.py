#!/usr/bin/python3
"""Writes .DAT logger files of any shape, and the few files the reader suite converts.

A .DAT file is a row of 20-byte records: for each point the seven channel values,
then the two timing figures, then the seven channel names. A numeric record is a
little-endian float32 followed by 16 zero bytes; a name record is 20 bytes of
Windows-1252 text, blank-padded or cut at 20.

    make_dat.py DIR     writes every file of the suite into DIR
"""

import math
import random
import struct
import sys
from pathlib import Path

RECORD = 20
CHANNELS = 7
MOST_POINTS = 4679  # the most points a loaded dataset can hold


def numeric_record(value):
    """A numeric record holding value as float32 (NaN and infinities kept)."""
    return struct.pack("<f", value) + bytes(RECORD - 4)


def numeric_record_bits(bits):
    """A numeric record holding the raw 32-bit pattern bits."""
    return struct.pack("<I", bits) + bytes(RECORD - 4)


def name_record(name):
    """A name record: the name in Windows-1252, blank-padded or cut at 20 bytes."""
    raw = name.encode("cp1252") if isinstance(name, str) else bytes(name)
    return raw[:RECORD].ljust(RECORD, b" ")


def dat_bytes(points, interval, names, second_figure=0.0):
    """The whole file. points is a list of seven-value rows; a value is a float or,
    as ('bits', n), a raw float32 pattern."""
    if len(names) != CHANNELS:
        raise ValueError("a .DAT file has seven channel names")
    out = bytearray()
    for row in points:
        if len(row) != CHANNELS:
            raise ValueError("a point has seven channel values")
        for value in row:
            if isinstance(value, tuple):
                out += numeric_record_bits(value[1])
            else:
                out += numeric_record(value)
    out += numeric_record(interval)
    out += numeric_record(second_figure)
    for name in names:
        out += name_record(name)
    return bytes(out)


def write_dat(path, points, interval, names, second_figure=0.0):
    Path(path).write_bytes(dat_bytes(points, interval, names, second_figure))
    return Path(path)


# --- the suite's files ------------------------------------------------------

PLAIN_NAMES = ["Pressure", "Temperature", "Flow", "Level", "Speed", "Torque", "Voltage"]

# Trailing blanks, an all-blank name, characters outside ASCII (E9, 80, B5 in
# Windows-1252), a name of exactly 20 characters and one cut at 20.
ODD_NAMES = [
    "Temp  ",
    "",
    "Débit € µm",
    "   leading blanks",
    "ExactlyTwentyChars20",
    "This name is longer than twenty",
    "Ch7",
]

TINY = ("bits", 0x00000001)  # 1.4e-45, the smallest float32 denormal
HUGE = 3.4e38
NAN = float("nan")
INF = float("inf")

# Every special value appears in every channel at least once over the three points.
SPECIAL_POINTS = [
    [0.1, -0.0, HUGE, TINY, NAN, INF, -INF],
    [-INF, 0.1, -0.0, HUGE, TINY, NAN, INF],
    [-HUGE, ("bits", 0x807FFFFF), ("bits", 0x7FC12345), ("bits", 0xFFFFFFFF), 1.0e-38, -2.5, 16777217.0],
]


def ramp_points(count, seed):
    """Finite values that differ in every channel: a slow wave per channel plus
    noise, as a logger would record them."""
    rng = random.Random(seed)
    return [[(c + 1) * 10.0 * math.sin(i / (40.0 + c)) + rng.uniform(-0.5, 0.5) for c in range(CHANNELS)]
            for i in range(count)]


def random_bit_points(count, seed):
    """Arbitrary 32-bit patterns: denormals, NaN payloads of both signs, infinities
    and huge and tiny exponents all turn up."""
    rng = random.Random(seed)
    special = [0x00000000, 0x80000000, 0x7F800000, 0xFF800000, 0x7FC00000, 0x00000001, 0x7F7FFFFF]
    rows = []
    for i in range(count):
        rows.append([("bits", special[(i + c) % len(special)] if (i * 7 + c) % 13 == 0 else rng.getrandbits(32))
                     for c in range(CHANNELS)])
    return rows


def suite_cases():
    """(file name, points, interval, names, second figure) of each suite file.

    Together they cover 0, 1, 3, 100 and 4679 points; intervals 5, 0 and -3; the
    odd names; and 0.1, -0.0, 3.4e38, the smallest denormal, NaN and both
    infinities in the data.
    """
    return [
        ("empty.DAT", [], 5.0, ODD_NAMES, 1.0),
        ("one.DAT", [SPECIAL_POINTS[0]], 0.0, PLAIN_NAMES, 0.0),
        ("three.DAT", SPECIAL_POINTS, 5.0, ODD_NAMES, 60.0),
        ("hundred.DAT", random_bit_points(100, seed=7), -3.0, ODD_NAMES, -1.0),
        ("full.DAT", ramp_points(MOST_POINTS, seed=11), 5.0, PLAIN_NAMES, 2.0),
    ]


def write_suite(folder):
    """Writes every suite file into folder and returns their paths."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    return [write_dat(folder / name, points, interval, names, second)
            for name, points, interval, names, second in suite_cases()]


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    for path in write_suite(argv[1]):
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
