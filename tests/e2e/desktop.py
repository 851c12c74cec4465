"""A real desktop for end-to-end tests: its own Xvfb on a free display, the
openbox window manager, the program under test, and xdotool to drive it with
real key presses and clicks. Everything started here is stopped on exit, also
when a test fails."""

import os
import signal
import subprocess
import tempfile
import time
from pathlib import Path

MAIN_TITLE = "Data File Conversion Utility"


class Desktop:
    def __init__(self, width=1024, height=768, artefacts=None):
        self.size = (width, height)
        self.artefacts = Path(artefacts) if artefacts else None
        self.processes = []
        self.display = None
        self.env = None

    # --- starting and stopping -------------------------------------------------

    def __enter__(self):
        try:
            self._start_x()
            self._start_window_manager()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _spawn(self, argv, **kwargs):
        proc = subprocess.Popen(argv, env=kwargs.pop("env", self.env), start_new_session=True,
                                stdin=subprocess.DEVNULL, **kwargs)
        self.processes.append(proc)
        return proc

    def _start_x(self):
        # -displayfd lets Xvfb pick a free display and tell us its number.
        read_fd, write_fd = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                     f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp"],
                    env=os.environ.copy(), pass_fds=(write_fd,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = os.environ.copy()
        self.env.update(DISPLAY=self.display, QT_QPA_PLATFORM="xcb", XDG_SESSION_TYPE="x11")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.setdefault("XDG_RUNTIME_DIR", tempfile.mkdtemp(prefix="kestrane-xdg-"))
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)

    def _start_window_manager(self):
        self._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # openbox announces itself on the root window once it manages windows.
        self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run_quiet(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), 10, "openbox to start")

    def start(self, argv, **kwargs):
        """Starts a program on this desktop; it is stopped when the desktop closes."""
        return self._spawn(argv, **kwargs)

    def close(self):
        for proc in reversed(self.processes):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        self.processes.clear()

    # --- looking ---------------------------------------------------------------

    def run_quiet(self, argv):
        done = subprocess.run(argv, env=self.env, capture_output=True, text=True)
        return done.stdout

    @staticmethod
    def wait_for(condition, timeout, what):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = condition()
            if result:
                return result
            time.sleep(0.05)
        raise TimeoutError("timed out waiting for " + what)

    def windows(self, title):
        """Ids of the visible windows whose title is exactly `title`."""
        out = self.run_quiet(["xdotool", "search", "--onlyvisible", "--name", "^" + _regex(title) + "$"])
        return [int(w) for w in out.split()]

    def wait_window(self, title, timeout=10):
        return self.wait_for(lambda: self.windows(title), timeout, f"a window titled {title!r}")[0]

    def wait_no_window(self, title, timeout=10):
        self.wait_for(lambda: not self.windows(title), timeout, f"no window titled {title!r}")

    def active_title(self):
        return self.run_quiet(["xdotool", "getactivewindow", "getwindowname"]).strip()

    def wait_active(self, title, timeout=10):
        self.wait_for(lambda: self.active_title() == title, timeout, f"{title!r} to be active")

    def geometry(self, window):
        """(x, y, width, height) of a window's client area on the screen."""
        out = self.run_quiet(["xdotool", "getwindowgeometry", "--shell", str(window)])
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, name):
        if not self.artefacts:
            return None
        self.artefacts.mkdir(parents=True, exist_ok=True)
        path = self.artefacts / (name + ".png")
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       env=self.env, check=False, capture_output=True)
        return path

    # --- acting ----------------------------------------------------------------

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "40", *keys], env=self.env, check=True)
        time.sleep(0.15)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "5", text], env=self.env, check=True)
        time.sleep(0.1)

    def click(self, x, y, button=1):
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)],
                       env=self.env, check=True)
        time.sleep(0.15)

    def click_in(self, window, x, y):
        """Clicks at (x, y) inside a window's client area."""
        wx, wy, _, _ = self.geometry(window)
        self.click(wx + x, wy + y)


def _regex(text):
    return "".join("\\" + c if c in r".^$*+?()[]{}|\\" else c for c in text)
