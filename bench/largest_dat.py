"""The largest log a dataset can hold, for the benchmarks: every point of all
seven channels, values that vary so that no two cells repeat."""

import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests"))
from dat_log import LARGEST_LOG_POINTS, dat_bytes  # noqa: E402

NAMES = ["Pressure", "Temperature", "Flow", "Level", "Speed", "Torque", "Voltage"]


def write_largest_dat(path, interval=5.0, seed=11):
    """Writes the file and returns its path."""
    generator = random.Random(seed)
    points = [[point * 0.25 + channel * 1000 + generator.random() for channel in range(7)]
              for point in range(LARGEST_LOG_POINTS)]
    Path(path).write_bytes(dat_bytes(points, (interval, 0.0), NAMES))
    return Path(path)
