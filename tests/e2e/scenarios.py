"""Runs the scenarios of one end-to-end test file on one shared desktop.

Each scenario is a function taking a Context; it starts the program itself
(Context.start), and whatever it started is ended after it, passed or failed.
A failed scenario leaves a screenshot and the program's output among the
artefacts, and the others still run. Exit status 0 only when every one passed.
"""

import argparse
import signal
import sys
import tempfile
import time
import traceback
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "readers"))

from desktop import Desktop  # noqa: E402
from kestrane_app import KestraneApp  # noqa: E402


class Context:
    def __init__(self, desktop, args, work):
        self.desktop = desktop
        self.program = args.program
        self.soffice = args.soffice
        self.artefacts = Path(args.artefacts)
        self.work = Path(work)
        self.scenario = None
        self.apps = []
        self.workbooks = []  # (.DAT, .xls, since, until) of each conversion

    def start(self, env=None):
        """Starts the program and waits for its window; its output goes to
        the artefacts."""
        log = self.artefacts / ("%s-%d.log" % (self.scenario, len(self.apps) + 1))
        app = KestraneApp(self.desktop, self.program, log_path=log, env=env)
        self.apps.append(app)
        return app.wait_shown()

    def shot(self, state):
        """A screenshot of the whole screen, kept as an artefact."""
        return self.desktop.screenshot("%s-%s" % (self.scenario, state))

    def end_apps(self):
        for app in self.apps:
            app.stop()
        self.apps.clear()


def _arguments(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, help="the built kestrane")
    parser.add_argument("--artefacts", required=True, help="folder for screenshots and logs")
    parser.add_argument("--soffice", default="soffice")
    parser.add_argument("only", nargs="*", help="names of the scenarios to run (default: all)")
    return parser.parse_args(argv[1:])


def _end_on_sigterm(signum, frame):
    # A stopped test still ends everything it started (see Desktop.close).
    raise SystemExit(128 + signum)


def run(scenarios, argv, finish=None, screen=(1024, 768)):
    """Runs each scenario in turn on a screen of `screen` pixels, then
    `finish(context)` if given (a check over what all of them produced);
    returns the exit status."""
    args = _arguments(argv)
    signal.signal(signal.SIGTERM, _end_on_sigterm)
    artefacts = Path(args.artefacts)
    artefacts.mkdir(parents=True, exist_ok=True)
    for stale in list(artefacts.glob("*.png")) + list(artefacts.glob("*.log")):
        stale.unlink()  # from an earlier run
    chosen = [s for s in scenarios if not args.only or s.__name__ in args.only]
    failures = []
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="kestrane-e2e-") as work, \
            Desktop(*screen, artefacts=args.artefacts) as desktop:
        context = Context(desktop, args, work)
        steps = [(s.__name__, s) for s in chosen]
        if finish is not None:
            steps.append((finish.__name__, finish))
        for name, step in steps:
            context.scenario = name
            began = time.monotonic()
            try:
                step(context)
                print("PASS %s (%.1f s)" % (name, time.monotonic() - began), flush=True)
            except Exception:
                failures.append(name)
                context.shot("FAILED")
                print("FAIL %s (%.1f s)\n%s" % (name, time.monotonic() - began, traceback.format_exc()),
                      flush=True)
            finally:
                context.end_apps()
    print("%d of %d passed in %.1f s; artefacts in %s"
          % (len(steps) - len(failures), len(steps), time.monotonic() - started, args.artefacts))
    return 1 if failures else 0
