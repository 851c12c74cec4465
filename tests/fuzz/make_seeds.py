#!/usr/bin/python3
"""Writes the seed corpora of the two fuzz targets.

    make_seeds.py READER_DIR WRITER_DIR

READER_DIR gets .DAT files of the shapes the reader must tell apart: the reader
suite's files (0, 1, 3, 100 and 4679 points), 4680 points, files just too
short, surplus records and tails. WRITER_DIR gets inputs for
workbook_writer_fuzz in the layout FuzzedDataset decodes: point count, interval,
second figure, seven 20-byte names, then float32 values.
"""

import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "readers"))
import make_dat  # noqa: E402

MOST_POINTS = make_dat.MOST_POINTS
RECORD = make_dat.RECORD

# Bit patterns a writer may mishandle: both zeros, the smallest and largest
# denormals, the largest finite single, infinities, quiet and signalling NaNs
# with payloads, and values exact or not in RK form.
SPECIAL_BITS = [0x00000000, 0x80000000, 0x00000001, 0x807FFFFF, 0x7F7FFFFF, 0xFF7FFFFF, 0x7F800000,
                0xFF800000, 0x7FC00000, 0xFFC12345, 0x7F800001, 0x3DCCCCCD, 0x4B800001, 0x3F800000]

# Names: the code page's undefined bytes, zero bytes, blanks only, all high bytes.
ODD_NAME_BYTES = [
    bytes([0x81, 0x8D, 0x8F, 0x90, 0x9D]) + b"undefined" + bytes(6),
    bytes(20),
    b" " * 20,
    bytes(range(0x80, 0x94)),
    bytes(range(0xEC, 0x100)),
    "Débit € µm".encode("cp1252"),
    b"Ch7",
]


def reader_seeds():
    """(file name, bytes) of each reader seed."""
    seeds = []
    for name, points, interval, names, second in make_dat.suite_cases():
        seeds.append((name, make_dat.dat_bytes(points, interval, names, second)))
    one = make_dat.dat_bytes([[1.0] * 7], 5.0, make_dat.PLAIN_NAMES)
    too_many = make_dat.dat_bytes([[float(i)] * 7 for i in range(MOST_POINTS + 1)], 5.0, make_dat.PLAIN_NAMES)
    seeds += [
        ("too-many.DAT", too_many),
        ("short-109.DAT", bytes(109)),
        ("short-110.DAT", bytes(110)),
        ("surplus-4.DAT", one + bytes(4 * RECORD)),
        ("tail-10.DAT", one + bytes(10)),
        ("missing-3.DAT", one[:-3 * RECORD]),
        ("interval-nan.DAT", make_dat.dat_bytes([], float("nan"), make_dat.PLAIN_NAMES)),
        ("interval-32767.5.DAT", make_dat.dat_bytes([], 32767.5, make_dat.PLAIN_NAMES)),
    ]
    return seeds


def writer_input(count_field, interval, names, value_bits, second=0):
    out = struct.pack("<Hhh", count_field, interval, second)
    for name in names:
        out += bytes(name)[:RECORD].ljust(RECORD, b" ")
    for bits in value_bits:
        out += struct.pack("<I", bits)
    return out


def writer_seeds():
    """(file name, bytes) of each writer seed."""
    largest = 0x8000 | MOST_POINTS
    plain = [name.encode("cp1252") for name in make_dat.PLAIN_NAMES]
    return [
        ("no-points", writer_input(0, 5, plain, [])),
        ("one-point-special", writer_input(1, -32768, ODD_NAME_BYTES, SPECIAL_BITS[:7])),
        ("three-points", writer_input(3, 0, ODD_NAME_BYTES, SPECIAL_BITS + SPECIAL_BITS[:7])),
        ("largest-special", writer_input(largest, 32767, ODD_NAME_BYTES, SPECIAL_BITS)),
        ("largest-plain", writer_input(largest, 5, plain, [0x3F800000 + i for i in range(97)])),
        ("header-only", b"\xff\xff"),
    ]


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    for folder, seeds in ((Path(argv[1]), reader_seeds()), (Path(argv[2]), writer_seeds())):
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds:
            (folder / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
