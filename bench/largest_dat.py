"""The largest log a dataset can hold, for the benchmarks: 4679 points of
seven channels, each value a float32 record, then the logging interval, a
second timing figure and the seven channel names (20 blank-padded bytes)."""

import random
import struct
from pathlib import Path

MOST_POINTS = 4679  # the most points a loaded dataset can hold
NAMES = ["Pressure", "Temperature", "Flow", "Level", "Speed", "Torque", "Voltage"]


def numeric_record(value):
    return struct.pack("<f", value) + bytes(16)


def write_largest_dat(path, interval=5.0, seed=11):
    """Writes the file and returns its path; values vary so that no two cells repeat."""
    generator = random.Random(seed)
    out = bytearray()
    for point in range(MOST_POINTS):
        for channel in range(7):
            out += numeric_record(point * 0.25 + channel * 1000 + generator.random())
    out += numeric_record(interval) + numeric_record(0.0)
    for name in NAMES:
        out += name.encode("cp1252").ljust(20, b" ")
    Path(path).write_bytes(out)
    return Path(path)
