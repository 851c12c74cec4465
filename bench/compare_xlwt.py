#!/usr/bin/python3
"""Times Kestrane's converter against a plain xlwt script on the largest .DAT file,
with two copies of the same file as floors no converter can beat.

    compare_xlwt.py [--runs N] [--kestrane CMD] [--durable CMD] [--xlwt CMD] [--dat FILE]

Each command runs N times as a whole process (start-up included, as the
operator would pay it): `cp` of the .DAT file to an .xls name; durable-copy,
which copies it as durably as Kestrane saves a workbook (temporary file,
flush, rename, flush of the folder), converting nothing; Kestrane; then xlwt,
taking turns so that a busy moment of the machine falls on all four.
CMD is a command line; the .DAT path and the .xls path are appended to it.
Prints the log's size in points and bytes, then each one's median and fastest
run and its median minor page faults (peak memory is left out: a child's peak
starts at that of the process that started it), then Kestrane's median
against cp's and durable-copy's, and xlwt's against Kestrane's.
"""

import argparse
import os
import shlex
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(ROOT / "bench"))

from largest_dat import write_largest_dat  # noqa: E402  (found through the path set just above)


def largest_dat(folder):
    """A .DAT file of the most points a file may hold, finite values throughout.
    Its name holds ".dat" in lower case, as a log must for the window to open it."""
    return write_largest_dat(Path(folder) / "full.dat")


class Run:
    """One whole-process run: wall seconds and minor page faults."""

    def __init__(self, seconds, faults):
        self.seconds, self.faults = seconds, faults


def timed_run(command, dat, xls):
    """Runs one conversion as a whole process; fails loudly if it fails."""
    with tempfile.TemporaryFile() as output:
        started = time.perf_counter()
        child = subprocess.Popen(command + [str(dat), str(xls)], stdout=output, stderr=output)
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.perf_counter() - started
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0 or not Path(xls).is_file():
            output.seek(0)
            raise RuntimeError("%s failed with exit status %d\n%s"
                               % (shlex.join(command), child.returncode, output.read().decode(errors="replace")))
    return Run(elapsed, usage.ru_minflt)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--kestrane", default=str(ROOT / "build" / "kestrane-bench"))
    parser.add_argument("--durable", default=str(ROOT / "build" / "durable-copy"))
    parser.add_argument("--xlwt", default=shlex.quote(str(ROOT / "bench" / "xlwt_convert.py")))
    parser.add_argument("--dat", help="the .DAT file to convert (default: the largest log, made here)")
    args = parser.parse_args(argv[1:])
    if args.runs < 1:
        parser.error("--runs must be at least 1")

    sides = [("cp", ["cp"]), ("durable", shlex.split(args.durable)), ("kestrane", shlex.split(args.kestrane)),
             ("xlwt", shlex.split(args.xlwt))]
    with tempfile.TemporaryDirectory(prefix="kestrane-compare-") as folder:
        dat = Path(args.dat) if args.dat else largest_dat(folder)
        runs = {name: [] for name, _ in sides}
        try:
            size = dat.stat().st_size  # 20-byte records: seven a point, then nine more
            for name, command in sides:  # one untimed run each fills the file cache
                timed_run(command, dat, Path(folder) / (name + ".xls"))
            for _ in range(args.runs):
                for name, command in sides:
                    runs[name].append(timed_run(command, dat, Path(folder) / (name + ".xls")))
        except (OSError, RuntimeError) as failure:
            sys.stderr.write("compare_xlwt: %s\n" % failure)
            return 2

    def median(name, field):
        return statistics.median(getattr(run, field) for run in runs[name])

    print("%s (%d points, %d bytes), %d runs each, whole processes"
          % (dat.name, (size // 20 - 9) // 7, size, args.runs))
    print("  %-9s %9s %9s %13s" % ("", "median", "fastest", "minor faults"))
    for name, command in sides:
        print("  %-9s %6.1f ms %6.1f ms %13d   (%s)"
              % (name, 1000 * median(name, "seconds"), 1000 * min(run.seconds for run in runs[name]),
                 median(name, "faults"), shlex.join(command)))
    print("  kestrane takes %.2f times as long as cp (ratio of medians)"
          % (median("kestrane", "seconds") / median("cp", "seconds")))
    print("  kestrane takes %.2f times as long as durable-copy (ratio of medians)"
          % (median("kestrane", "seconds") / median("durable", "seconds")))
    print("  kestrane is %.2f times as fast as xlwt (ratio of medians)"
          % (median("xlwt", "seconds") / median("kestrane", "seconds")))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
