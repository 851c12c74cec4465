#!/usr/bin/python3
"""Peak memory of the real program converting the largest log.

    gui_peak_memory.py PROGRAM

Starts PROGRAM on a virtual X display of its own with openbox, opens the
largest .DAT file (largest_dat.py) through the real open dialog (Ctrl+O, the path typed),
converts it through the real save dialog (Ctrl+C), and prints the program's
peak resident memory (VmHWM), with its resident memory once started and at
the end, in MiB.
Exits non-zero if the workbook was not written.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
from largest_dat import write_largest_dat  # noqa: E402


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise TimeoutError("timed out waiting for " + what)


def memory_mib(pid, field):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1]) / 1024.0
    raise KeyError(field)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    program = str(Path(argv[1]).resolve())
    work = Path(tempfile.mkdtemp(prefix="kestrane-memory-"))
    dat = write_largest_dat(work / "largest.dat")
    out = work / "largest.xls"
    processes = []

    def start(args, **kwargs):
        proc = subprocess.Popen(args, start_new_session=True, stdin=subprocess.DEVNULL, **kwargs)
        processes.append(proc)
        return proc

    try:
        read_fd, write_fd = os.pipe()
        start(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
              pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            display = ":" + pipe.readline().strip()
        # A settings folder of its own: Qt's file dialog keeps its view and
        # history there, so each run starts from the defaults and leaves the
        # user's own settings alone.
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=str(work),
                   XDG_CONFIG_HOME=str(work))
        env.pop("WAYLAND_DISPLAY", None)

        def xdotool(*args):
            return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True).stdout

        def window(title):
            return xdotool("search", "--onlyvisible", "--name", "^" + title + "$").split()

        start(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: "WINDOW" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                                     capture_output=True, text=True).stdout, 10, "openbox")
        app = start([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        main_window = wait_for(lambda: window("Data File Conversion Utility"), 30, "the main window")[0]
        time.sleep(0.5)
        started = memory_mib(app.pid, "VmRSS")

        for keys, title, path in (("ctrl+o", "Open", dat), ("ctrl+c", "Save As", out)):
            # The shortcut goes to the active window: make sure it is ours, and
            # press again should a busy window manager have lost the press.
            for _ in range(3):
                xdotool("windowactivate", "--sync", main_window)
                xdotool("key", keys)
                try:
                    wait_for(lambda: window(title), 5, f"the {title} dialog")
                    break
                except TimeoutError:
                    pass
            wait_for(lambda: window(title), 5, f"the {title} dialog")
            time.sleep(0.3)
            xdotool("key", "ctrl+a")
            xdotool("type", "--delay", "5", str(path))
            xdotool("key", "Return")
            wait_for(lambda: not window(title), 10, f"the {title} dialog to close")
        wait_for(lambda: out.exists(), 30, "the workbook")
        time.sleep(0.5)
        peak = memory_mib(app.pid, "VmHWM")
        now = memory_mib(app.pid, "VmRSS")
        print(f"peak resident memory {peak:.1f} MiB (resident when started {started:.1f} MiB, "
              f"at the end {now:.1f} MiB), workbook {out.stat().st_size} bytes")
        app.send_signal(signal.SIGTERM)
        app.wait(timeout=10)
        return 0
    finally:
        for proc in reversed(processes):
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
