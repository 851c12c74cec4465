#!/usr/bin/python3
"""Converts the suite's .DAT files with a converter and checks every workbook
with xlrd and LibreOffice.

    run_suite.py [--soffice PATH] -- CONVERTER [ARG...]

CONVERTER ARG... IN.DAT OUT.xls must write the workbook of IN.DAT to OUT.xls and
exit with status 0, or fail with a non-zero status and leave OUT.xls as it was.
The work folder is removed when everything passes and kept, for a look at the
files, when something fails.
"""

import argparse
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import check_workbook
import libreoffice_reader
import make_dat

CONVERT_TIMEOUT = 300


def convert(converter, dat, xls):
    """Runs the converter; returns (seconds since the epoch before, after, failure text or None)."""
    since = time.time()
    try:
        run = subprocess.run(converter + [str(dat), str(xls)], capture_output=True, text=True,
                             timeout=CONVERT_TIMEOUT)
    except (OSError, subprocess.TimeoutExpired) as failure:
        return since, time.time(), "cannot run the converter: %s" % failure
    until = time.time()
    if run.returncode != 0:
        return since, until, "exit status %d\n%s%s" % (run.returncode, run.stdout, run.stderr)
    if not Path(xls).is_file():
        return since, until, "exit status 0 but no workbook written"
    return since, until, None


# Files no workbook can be made of: (file name, bytes). The converter must fail
# and leave an existing target file untouched.
def refused_inputs():
    names = make_dat.PLAIN_NAMES
    return [
        ("short.DAT", bytes(100)),  # shorter than nine records
        ("nan-interval.DAT", make_dat.dat_bytes([], float("nan"), names)),
        ("too-many.DAT", make_dat.dat_bytes([[1.0] * 7] * (make_dat.MOST_POINTS + 1), 5.0, names)),
    ]


def check_refusals(converter, work):
    """Failures of the refusal cases: each must end with a non-zero exit status
    and keep the old target file byte for byte."""
    failures = []
    before = b"an older workbook that must survive a failed conversion"
    for name, content in refused_inputs() + [("missing.DAT", None)]:
        dat = work / name
        if content is not None:
            dat.write_bytes(content)
        target = work / (Path(name).stem + ".xls")
        target.write_bytes(before)
        _, _, failure = convert(converter, dat, target)
        if failure is None:
            failures.append("%s: converted although no workbook can be made of it" % name)
        elif not failure.startswith("exit status"):
            failures.append("%s: %s" % (name, failure))
        elif target.read_bytes() != before:
            failures.append("%s: the failed conversion changed the existing target file" % name)
    return failures


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--soffice", default="soffice")
    parser.add_argument("converter", nargs="+")
    args = parser.parse_args(argv[1:])

    work = Path(tempfile.mkdtemp(prefix="kestrane-readers-"))
    failures = []
    started = time.time()

    dats = make_dat.write_suite(work / "dat")
    conversions = []
    for dat in dats:
        xls = work / (dat.stem + ".xls")
        since, until, failure = convert(args.converter, dat, xls)
        print("converted %-12s %6.3f s" % (dat.name, until - since))
        if failure:
            failures.append("%s: %s" % (dat.name, failure))
        else:
            conversions.append((dat, xls, since, until))

    (work / "refused").mkdir()
    failures += check_refusals(args.converter, work / "refused")

    if conversions:
        opened = time.time()
        try:
            fods = libreoffice_reader.convert_to_fods([xls for _, xls, _, _ in conversions], work / "fods",
                                                      args.soffice)
        except libreoffice_reader.ConversionError as failure:
            fods = None
            failures.append(str(failure))
        print("LibreOffice converted %d workbooks in %.1f s" % (len(conversions), time.time() - opened))
        for dat, xls, since, until in conversions if fods else []:
            try:
                mismatches = check_workbook.check(dat, xls, since, until, fods[xls])
            except Exception as failure:  # a reader that cannot read the file fails the check
                failures.append("%s: cannot be read back: %s: %s" % (xls.name, type(failure).__name__, failure))
                continue
            if mismatches:
                check_workbook.report("%s (from %s)" % (xls.name, dat.name), mismatches)
                failures.append("%s: %d mismatching cells" % (xls.name, len(mismatches)))
            else:
                print("checked %-12s every cell matches, in xlrd and in LibreOffice" % xls.name)

    print("suite took %.1f s" % (time.time() - started))
    if failures:
        print("FAILED; the files are kept in %s" % work)
        for failure in failures:
            print("  " + failure)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
