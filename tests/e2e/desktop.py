# A virtual desktop for the end-to-end tests: Xvfb with openbox, and the
# key presses and window look-ups that drive a program on it.

import contextlib
import os
import subprocess
import time

MAIN = "Data File Conversion Utility"  # the window's title

def wait_for(condition, what, timeout=30):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def output(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def active():
    """The title of the window the keyboard reaches: the window manager's active window, once the X input focus is
    in it too (the program takes the focus when the window manager offers it, a moment later)."""
    window = output("xdotool", "getactivewindow", "getwindowname").strip()
    return window if output("xdotool", "getwindowfocus", "getwindowname").strip() == window else None


def has_keyboard(title, what):
    """Waits until the window `title` is active with the keyboard in it. A key pressed while the window manager
    still holds the keyboard, moving the focus, is lost; an operator is never that quick."""
    wait_for(lambda: active() == title, what)
    time.sleep(0.3)
    assert active() == title, "%s did not keep the keyboard" % title


def back():
    """After a dialog or message box: the window is active again, the keyboard in it, with no click."""
    has_keyboard(MAIN, "the keyboard back in the window")


def shown(title):
    """How many windows titled exactly `title` are shown."""
    return len(output("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title).split())


def key(*keys, expect=None):
    """Presses keys; with `expect`, again until a window so titled shows (a
    fresh X server may lose a key press to its keymap set-up), and waits for
    the keyboard in it."""
    for _ in range(3):
        subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)
        if not expect:
            return
        try:
            wait_for(lambda: shown(expect), expect, 10)
        except AssertionError:
            continue
        return has_keyboard(expect, expect)
    raise AssertionError("%s did not bring up %r" % (keys, expect))


def send(*keys):
    for k in keys:  # a path is typed, a key name pressed
        subprocess.run(["xdotool", "type", "--delay", "5", k] if "/" in k else ["xdotool", "key", k], check=True)


def close(title, *keys):
    """Sends keys to the dialog or message box `title` and waits for it to go."""
    send(*keys)
    wait_for(lambda: not shown(title), title + " to close")


@contextlib.contextmanager
def virtual_desktop(width=1024, height=768):
    """Xvfb and openbox, with DISPLAY set to them while the block runs."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
                            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    os.environ["DISPLAY"] = ":" + os.fdopen(read_end).readline().strip()
    wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: "window id" in output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "openbox")
        yield
    finally:
        wm.kill()
        xvfb.terminate()
