"""A real desktop for end-to-end tests: its own Xvfb on a free display, the
openbox window manager, a session bus with accessibility switched on (as for
an operator with a screen reader), the program under test, and xdotool to
drive it with real key presses and clicks. Everything started here is stopped
on exit, also when a test fails -- and, through the parent-death signal, also
when the test process itself is killed."""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import accessibility
from picture import Picture

MAIN_TITLE = "Data File Conversion Utility"

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


# Tries at starting a desktop: an X server that picks its display while
# another one on this machine is taking over a stale lock may lose the
# display it was given (a race in the servers' lock handling).
START_TRIES = 3


def _end_with_parent():
    # Runs in the child between fork and exec: a test process killed by a
    # timeout takes its X server, window manager and program with it. SIGTERM,
    # so that the X server still removes its lock and socket.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class Desktop:
    def __init__(self, width=1024, height=768, artefacts=None):
        self.size = (width, height)
        self.artefacts = Path(artefacts) if artefacts else None
        self.processes = []
        self.display = None
        self.env = None
        self.accessibility = None

    # --- starting and stopping -------------------------------------------------

    def __enter__(self):
        for attempt in range(1, START_TRIES + 1):
            try:
                self._start_x()
                self._start_window_manager()
                self._start_session_bus()
                return self
            except Exception:
                self.close()
                if attempt == START_TRIES:
                    raise
            except BaseException:
                self.close()
                raise

    def __exit__(self, *exc):
        self.close()
        return False

    def _spawn(self, argv, **kwargs):
        proc = subprocess.Popen(argv, env=kwargs.pop("env", self.env), start_new_session=True,
                                stdin=subprocess.DEVNULL, preexec_fn=_end_with_parent, **kwargs)
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
        for inherited in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                          "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME"):
            self.env.pop(inherited, None)
        # Folders of the desktop's own: what programs keep between runs (the
        # file dialog's history, for one) neither comes from the user's home
        # nor goes into it.
        self._private = tempfile.mkdtemp(prefix="kestrane-desktop-")
        for variable, folder in (("XDG_RUNTIME_DIR", "runtime"), ("XDG_CONFIG_HOME", "config"),
                                 ("XDG_CACHE_HOME", "cache"), ("XDG_DATA_HOME", "data")):
            path = os.path.join(self._private, folder)
            os.mkdir(path, 0o700)
            self.env[variable] = path

    def _start_window_manager(self):
        openbox = self._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def managing():
            # openbox announces itself on the root window once it manages windows.
            if openbox.poll() is not None:
                raise RuntimeError("openbox ended at once, status %s" % openbox.returncode)
            return "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run_quiet(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
        self.wait_for(managing, 20, "openbox to start")

    def _start_session_bus(self):
        read_fd, write_fd = os.pipe()
        self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=%d" % write_fd],
                    pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            address = pipe.readline().strip()
        if not address:
            raise RuntimeError("the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # The accessibility bus's launcher and registry are started by the
        # session bus and end when it ends.
        self.accessibility = accessibility.AccessibilityBus(accessibility.switch_on(address))

    def start(self, argv, env=None, **kwargs):
        """Starts a program on this desktop, with `env` added to the desktop's
        environment; it is stopped when the desktop closes."""
        full_env = dict(self.env, **(env or {}))
        return self._spawn(argv, env=full_env, **kwargs)

    def stop(self, proc, first_signal=signal.SIGKILL):
        """Ends one program started here and forgets it: `first_signal`, then
        SIGKILL if it is still there after a few seconds."""
        for sig in (first_signal, signal.SIGKILL):
            if proc.poll() is not None:
                break
            try:
                os.killpg(proc.pid, sig)
            except ProcessLookupError:
                pass
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                continue
        if proc in self.processes:
            self.processes.remove(proc)

    def close(self):
        if self.accessibility is not None:
            self.accessibility.close()
            self.accessibility = None
        # SIGTERM first: the X server then removes its lock and socket, which
        # a later server would otherwise have to take over.
        for proc in reversed(list(self.processes)):
            self.stop(proc, signal.SIGTERM)
        if getattr(self, "_private", None):
            shutil.rmtree(self._private, ignore_errors=True)
            self._private = None

    # --- looking ---------------------------------------------------------------

    def run_quiet(self, argv):
        done = subprocess.run(argv, env=self.env, capture_output=True, text=True)
        return done.stdout

    @staticmethod
    def wait_for(condition, timeout, what):
        """Polls `condition` until it gives something true, and returns that."""
        deadline = time.monotonic() + timeout
        while True:
            result = condition()
            if result:
                return result
            if time.monotonic() >= deadline:
                raise TimeoutError("timed out after %gs waiting for %s" % (timeout, what))
            time.sleep(0.05)

    def windows(self, title):
        """Ids of the visible windows whose title is exactly `title`."""
        out = self.run_quiet(["xdotool", "search", "--onlyvisible", "--name", "^" + _regex(title) + "$"])
        return [int(w) for w in out.split()]

    def wait_window(self, title, timeout=20):
        return self.wait_for(lambda: self.windows(title), timeout, f"a window titled {title!r}")[0]

    def wait_no_window(self, title, timeout=20):
        self.wait_for(lambda: not self.windows(title), timeout, f"no window titled {title!r}")

    def active_window(self):
        out = self.run_quiet(["xdotool", "getactivewindow"]).strip()
        return int(out) if out.isdigit() else None

    def active_title(self):
        return self.run_quiet(["xdotool", "getactivewindow", "getwindowname"]).strip()

    def wait_active(self, title, timeout=20):
        """Waits until the active window is titled `title`; returns its id."""
        self.wait_for(lambda: self.active_title() == title, timeout, f"{title!r} to be active")
        return self.active_window()

    def geometry(self, window):
        """(x, y, width, height) of a window's client area on the screen."""
        # xwininfo's absolute corner is exact; xdotool's is off by the frame
        # of a reparenting window manager.
        out = self.run_quiet(["xwininfo", "-id", str(window)])
        values = {}
        for line in out.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def frame_extents(self, window):
        """(left, right, top, bottom) widths of the frame the window manager
        draws around a window: the title bar is in `top`."""
        out = self.run_quiet(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"])
        if "=" not in out:
            return None
        return tuple(int(v) for v in out.split("=", 1)[1].split(","))

    def outer_geometry(self, window):
        """(x, y, width, height) of a window with the frame the window manager
        draws around it: what the operator sees of it."""
        x, y, width, height = self.geometry(window)
        left, right, top, bottom = self.frame_extents(window) or (0, 0, 0, 0)
        return x - left, y - top, width + left + right, height + top + bottom

    def capture(self, x, y, width, height):
        """The pixels of a rectangle of the screen as they are now."""
        done = subprocess.run(["import", "-display", self.display, "-window", "root",
                               "-crop", f"{width}x{height}+{x}+{y}", "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, check=True)
        return Picture.from_ppm(done.stdout)

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
        time.sleep(0.05)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "5", text], env=self.env, check=True)
        time.sleep(0.05)

    def pointer(self):
        out = self.run_quiet(["xdotool", "getmouselocation", "--shell"])
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def move_pointer(self, x, y):
        # Not `mousemove --sync`: it waits for a motion that never comes when
        # the pointer is there already.
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=self.env, check=True)
        self.wait_for(lambda: self.pointer() == (x, y), 10, "the pointer at %d,%d" % (x, y))

    def click(self, x, y, button=1):
        self.move_pointer(x, y)
        subprocess.run(["xdotool", "click", str(button)], env=self.env, check=True)
        time.sleep(0.05)

    def drag(self, x0, y0, x1, y1, button=1, steps=10):
        """Presses a button at (x0, y0), moves to (x1, y1) in steps, releases."""
        self.move_pointer(x0, y0)
        argv = ["xdotool", "mousedown", str(button)]
        for step in range(1, steps + 1):
            argv += ["sleep", "0.02", "mousemove",
                     str(x0 + (x1 - x0) * step // steps), str(y0 + (y1 - y0) * step // steps)]
        argv += ["mouseup", str(button)]
        subprocess.run(argv, env=self.env, check=True)
        time.sleep(0.05)


def _regex(text):
    return "".join("\\" + c if c in r".^$*+?()[]{}|\\" else c for c in text)
