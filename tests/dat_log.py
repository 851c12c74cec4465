"""The .DAT layout, for every Python tool that writes a log: a plain run of 20-byte records, for each point one per
channel (a float32, little-endian, in the first four bytes, the rest zero), then the logging interval and a second
timing figure, one such record each, then the seven channel names, 20 bytes each in Windows-1252, blank-padded."""

import struct

LARGEST_LOG_POINTS = 4679  # the most points a loaded dataset holds: a file of 655240 bytes


def dat_bytes(points, timing=(5.0, 0.0), names=()):
    """The whole file: `points` holds a row of seven values per point; a name, text or bytes, cut or padded to 20."""
    numbers = [struct.pack("<f16x", value) for value in [v for row in points for v in row] + list(timing)]
    raw = [name.encode("cp1252") if isinstance(name, str) else name for name in names]
    return b"".join(numbers + [name[:20].ljust(20) for name in raw])
