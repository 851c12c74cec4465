#!/usr/bin/env python3
"""Writes examples/probe-sample.dat: a small, plausible log of the seven-channel
test probe, so there is something to open at once. The
extension is lower case: the program opens only paths holding ".dat".

A .DAT file is a sequence of 20-byte records: for every sample one record per
channel (a little-endian float32 in the first four bytes, the rest zero), then
the logging interval and a second timing figure (both as float32 records), then
the seven channel names, 20 bytes each in Windows-1252, padded with blanks:
written by the tests' own dat_log.py."""

import math
import random
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests"))
from dat_log import dat_bytes  # noqa: E402

POINTS = 360          # one hour at a ten-second interval
INTERVAL_S = 10.0
NAMES = ["Inlet Temp \xb0C", "Outlet Temp \xb0C", "Line Pressure kPa", "Flow l/min",
         "Humidity %RH", "Supply Voltage V", "Heater Current A"]


def sample(t, rng):
    warm = 1 - math.exp(-t / 900.0)                  # the rig warms up over the hour
    inlet = 18.0 + 4.0 * warm + rng.gauss(0, 0.05)
    outlet = inlet + 11.5 * warm + rng.gauss(0, 0.08)
    pressure = 101.3 + 35.0 * warm + 0.8 * math.sin(t / 120.0) + rng.gauss(0, 0.1)
    flow = 12.0 + 0.6 * math.sin(t / 300.0) + rng.gauss(0, 0.05)
    humidity = 46.0 - 9.0 * warm + rng.gauss(0, 0.3)
    voltage = 24.0 + rng.gauss(0, 0.02)
    current = 3.1 * warm + rng.gauss(0, 0.01)
    return [inlet, outlet, pressure, flow, humidity, voltage, current]


def main(path):
    rng = random.Random(1997)                        # the same file on every run
    points = [sample(i * INTERVAL_S, rng) for i in range(POINTS)]
    Path(path).write_bytes(dat_bytes(points, (INTERVAL_S, 0.0), NAMES))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).with_name("probe-sample.dat")))
