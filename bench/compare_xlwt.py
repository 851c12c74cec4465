#!/usr/bin/python3
"""Times Kestrane's converter against a plain xlwt script on the largest .DAT file.

    compare_xlwt.py [--runs N] [--kestrane CMD] [--xlwt CMD] [--dat FILE]

Each converter runs N times as a whole process (start-up included, as the
operator would pay it), the two taking turns so that a busy moment of the
machine falls on both. CMD is a command line; the .DAT path and the .xls path
are appended to it. Prints each side's median and fastest run and how many
times faster Kestrane's median is.
"""

import argparse
import shlex
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(ROOT / "tests" / "readers"))

import make_dat  # noqa: E402  (found through the path set just above)


def largest_dat(folder):
    """A .DAT file of the most points a file may hold, finite values throughout."""
    name, points, interval, names, second = next(case for case in make_dat.suite_cases()
                                                  if len(case[1]) == make_dat.MOST_POINTS)
    return make_dat.write_dat(Path(folder) / name, points, interval, names, second)


def timed_run(command, dat, xls):
    """Seconds one conversion takes as a whole process; fails loudly if it fails."""
    started = time.perf_counter()
    run = subprocess.run(command + [str(dat), str(xls)], capture_output=True, text=True)
    elapsed = time.perf_counter() - started
    if run.returncode != 0 or not Path(xls).is_file():
        raise RuntimeError("%s failed with exit status %d\n%s%s"
                           % (shlex.join(command), run.returncode, run.stdout, run.stderr))
    return elapsed


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--kestrane", default=str(ROOT / "build" / "kestrane-bench"))
    parser.add_argument("--xlwt", default=shlex.quote(str(ROOT / "bench" / "xlwt_convert.py")))
    parser.add_argument("--dat", help="the .DAT file to convert (default: one of 4679 points, made here)")
    args = parser.parse_args(argv[1:])
    if args.runs < 1:
        parser.error("--runs must be at least 1")

    sides = [("kestrane", shlex.split(args.kestrane)), ("xlwt", shlex.split(args.xlwt))]
    with tempfile.TemporaryDirectory(prefix="kestrane-compare-") as folder:
        dat = Path(args.dat) if args.dat else largest_dat(folder)
        times = {name: [] for name, _ in sides}
        try:
            for name, command in sides:  # one untimed run each fills the file cache
                timed_run(command, dat, Path(folder) / (name + ".xls"))
            for _ in range(args.runs):
                for name, command in sides:
                    times[name].append(timed_run(command, dat, Path(folder) / (name + ".xls")))
        except (OSError, RuntimeError) as failure:
            sys.stderr.write("compare_xlwt: %s\n" % failure)
            return 2

    print("%s, %d runs each" % (dat.name, args.runs))
    for name, command in sides:
        print("  %-9s median %8.1f ms   fastest %8.1f ms   (%s)"
              % (name, 1000 * statistics.median(times[name]), 1000 * min(times[name]), shlex.join(command)))
    ratio = statistics.median(times["xlwt"]) / statistics.median(times["kestrane"])
    print("  kestrane is %.2f times as fast as xlwt (ratio of medians)" % ratio)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
