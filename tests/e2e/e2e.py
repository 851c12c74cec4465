#!/usr/bin/python3
# e2e.py PROGRAM SOFFICE | e2e.py --wine RUNNER PROGRAM: the program on Xvfb with openbox, by the keyboard alone, a
# log converted through the real dialogs and read back. After every dialog and message box the window is active
# again and Enter does what the focused button does: no click gives the keyboard back. (Not after Windows' question
# before replacing a file: there Wine loses the keyboard for any program.)

import contextlib
import glob
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import xlrd

sys.dont_write_bytecode = True  # no __pycache__ left in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from dat_log import dat_bytes  # noqa: E402

MAIN = "Data File Conversion Utility"  # the window's title
WINE = sys.argv[1] == "--wine"
# The log both roads convert: 25 samples, a 3-second interval.
VALUES = [[(c + 1) * 1000.0 + p / 7.0 for c in range(7)] for p in range(25)]


def check_workbook(path, names):
    """The title block, the names whole, and every sample as logged, as xlrd reads them."""
    sheet = xlrd.open_workbook(str(path)).sheet_by_index(0)
    assert sheet.cell_value(0, 0) == "Periodic Data Import" and sheet.cell_value(2, 1) == 3.0
    assert sheet.row_values(4, 0, 8) == ["Time Increment (s)"] + [n.ljust(20) for n in names], sheet.row_values(4)
    for p, row in enumerate(VALUES):
        expected = [3.0 * (p + 1)] + [struct.unpack("<f", struct.pack("<f", v))[0] for v in row]
        assert sheet.row_values(6 + p, 0, 8) == expected, (p, sheet.row_values(6 + p))
    assert sheet.nrows == 6 + len(VALUES)


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


def has_keyboard(title, what="the keyboard in the window"):
    """Waits until the window `title` is active with the keyboard in it. A key pressed while the window manager
    still holds the keyboard, moving the focus, is lost; an operator is never that quick."""
    wait_for(lambda: active() == title, what)
    time.sleep(0.3)
    assert active() == title, "%s did not keep the keyboard" % title


def shown(title):
    """How many windows titled exactly `title` are shown."""
    return len(output("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title).split())


def key(*keys, expect=None, tries=3, timeout=10):
    """Presses keys; with `expect`, again until a window so titled shows (a fresh X server may lose a key press to its
    keymap set-up), and waits for the keyboard in it."""
    for _ in range(tries):
        subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)
        if not expect:
            return
        try:
            wait_for(lambda: shown(expect), expect, timeout)
        except AssertionError:
            continue
        return has_keyboard(expect, expect)
    raise AssertionError("%s did not bring up %r" % (keys, expect))


def send(*keys):
    for k in keys:  # a path is typed, a key name pressed
        subprocess.run(["xdotool", "type", "--delay", "5", k] if "/" in k else ["xdotool", "key", k], check=True)


def close(title, *keys, then=MAIN):
    """Sends keys to the dialog or message box `title`, waits for it to go and for the keyboard in the window `then`:
    after a dialog or message box the main window is active again, with no click."""
    send(*keys)
    wait_for(lambda: not shown(title), title + " to close")
    has_keyboard(then, "the keyboard in " + then)


def enter(expect):
    """Enter once, on the focused button: a second press could reach the dialog it brings up."""
    key("Return", expect=expect, tries=1, timeout=60)


def type_name(path):
    """Writes `path` over the file dialog's name field. Under Wine it is pasted as a Windows path, over the last file
    chosen that the field holds: Wine takes the X clipboard."""
    if not WINE:
        return send("ctrl+a", str(path))
    send("Home", "shift+End")
    clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"], stdin=subprocess.PIPE)
    clip.communicate(("Z:" + str(path).replace("/", "\\")).encode())
    subprocess.run(["xdotool", "key", "ctrl+v"], check=True)
    clip.wait(10)


def open_log(path, by="ctrl+o", then=MAIN):
    """Opens the log `path` through the Open dialog, brought up by the keys `by` (None: Enter once on the focused
    button): the window gets the keyboard back, or the message box `then` that refuses the file has it."""
    key(by, expect="Open") if by else enter("Open")
    type_name(path)
    close("Open", "Return", then=then)


def convert_to_proposed(dat, xls, names):
    """Enter on Open, which has the focus at the start, then on Convert, which has it once loaded: the log's name and
    folder, as a workbook, proposed and taken; the workbook read back. A fresh X server may lose the first key press
    to its keymap set-up: Enter again, unless Wine may be slow to show its dialog and let it reach that."""
    open_log(dat, by=None if WINE else "Return")
    enter("Save As")
    close("Save As", "Return")
    wait_for(xls.exists, "the workbook")
    check_workbook(xls, names)


def cancels_and_guard(app):
    """Enter on Open, which has the focus also after its own dialog cancelled, opens again; Convert with nothing loaded
    says so; Alt+F4 is refused, and the window stays."""
    for _ in range(2):
        enter("Open")
        close("Open", "Escape")
    key("ctrl+c", expect="Kestrane")  # "No (.DAT) File Loaded"
    close("Kestrane", "Return")
    key("alt+F4")
    time.sleep(2)
    assert app.poll() is None and shown(MAIN), "Alt+F4 closed the window"


def save_over(path, answer):
    """Saves onto an existing file (None: the one proposed): the question before replacing comes up, gets `answer`."""
    key("ctrl+c", expect="Save As")
    if path:
        type_name(path)
    send("Return")
    wait_for(lambda: shown("Save As") == 2, "the question before replacing")
    send(answer)


def off_centre(window):
    """Pixels between the middle of the 1024 x 768 screen and that of the window with the frame openbox draws."""
    info = output("xwininfo", "-id", window)
    x, y, width, height = (int(info.split(k + ": ")[1].split()[0])
                           for k in ("upper-left X", "upper-left Y", "Width", "Height"))
    frame = output("xprop", "-id", window, "_NET_FRAME_EXTENTS")
    if "=" not in frame:
        return 1e9  # not framed yet
    left, right, top, bottom = (int(v) for v in frame.split("=")[1].split(","))
    return max(abs(2 * x - left + width + right - 1024), abs(2 * y - top + height + bottom - 768)) / 2


def start(program):
    proc = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: active() == MAIN, MAIN)
    window = output("xdotool", "getactivewindow").strip()
    wait_for(lambda: off_centre(window) <= 2, "the window centred with its frame", 10)
    return proc


def linux_road(program, soffice, work):
    """Under GNOME's GTK theme: a refusal, a workbook open in LibreOffice, a cancel, the close guard, exit, SIGTERM."""
    names = ["Pressure", "Temp \xb0C", "", " " * 20, "Flow rate", "Channel six long nam", "7"]
    dat, xls, upper = work / "probe.dat", work / "probe.xls", work / "PROBE.DAT"
    dat.write_bytes(dat_bytes(VALUES, (3, 0), names))
    upper.write_bytes(dat.read_bytes())
    app = start(program)
    convert_to_proposed(dat, xls, names)
    written, shared = xls.read_bytes(), work / "shared" / "probe.xls"
    shared.parent.mkdir()  # LibreOffice opens a copy, slowly: meanwhile the rest goes on
    shared.write_bytes(written)
    office = subprocess.Popen([soffice, "--headless", "--norestore", "-env:UserInstallation=" +
                               (work.parent / "office").as_uri(), str(shared)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    # A path without ".dat" in lower case is refused; Convert has the focus, with nothing loaded.
    open_log(upper, then="Kestrane")  # "File must be (.Dat)"
    close("Kestrane", "Return")
    enter("Kestrane")  # "No (.DAT) File Loaded"
    close("Kestrane", "Return")
    open_log(dat)

    try:  # a workbook LibreOffice has open is not replaced under it; the data stay for another try
        wait_for((shared.parent / ".~lock.probe.xls#").exists, "LibreOffice's lock file", 180)
        save_over(shared, "y")
        has_keyboard("Permission denied", "Problems Writing Excel File")
        close("Permission denied", "Return")
    finally:
        os.killpg(office.pid, signal.SIGKILL)
    save_over(xls.with_suffix(""), "n")  # the name without its ".xls" asks too; No, then the dialog cancelled
    wait_for(lambda: shown("Save As") == 1, "the question to go")
    close("Save As", "Escape")
    cancels_and_guard(app)
    assert sorted(p.name for p in work.iterdir()) == ["PROBE.DAT", "probe.dat", "probe.xls", "shared"]
    assert xls.read_bytes() == written and shared.read_bytes() == written

    key("alt+f")  # the exit command, from the File menu: Up wraps to its last item
    time.sleep(0.5)
    key("Up", "Return")
    assert app.wait(20) == 0

    app = start(program)  # SIGTERM while a message box holds the thread
    key("ctrl+u", expect="Kestrane")  # "No File to Unload"
    app.terminate()
    assert app.wait(20) == 0


def wine_road(runner, program, work):
    """A non-ASCII folder, each dialog cancelled, the close guard, a file replaced, a task manager's request to end."""
    names = ["Druck", "Temp \xb0C", "", " " * 20, "Durchfluss", "Kanal sechs lang nam", "7"]
    folder = work / "Messdaten Größe" / "Тест 測定"
    folder.mkdir(parents=True)
    dat, xls = folder / "Тест 測定.dat", folder / "Тест 測定.xls"
    dat.write_bytes(dat_bytes(VALUES, (3, 0), names))
    wine = lambda *args: subprocess.Popen([runner, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app = wine(program)
    try:
        wait_for(lambda: shown(MAIN), MAIN, 90)  # a first start makes the Wine prefix
        has_keyboard(MAIN)
        convert_to_proposed(dat, xls, names)
        listing = sorted(p.name for p in folder.iterdir())
        assert listing == [dat.name, xls.name], "not saved as proposed, or a temporary file left: %s" % listing

        key("ctrl+o", expect="Open")  # each dialog cancelled
        close("Open", "Escape")
        open_log(dat, by=None)
        enter("Save As")
        close("Save As", "Escape")
        cancels_and_guard(app)

        # Converted again onto the same name: Windows' own question comes first. After it Wine leaves the keyboard
        # with no window, a minimal Win32 program's too, so the road ends here.
        written = xls.stat().st_mtime_ns
        open_log(dat)
        save_over(None, "Return")  # Yes
        wait_for(lambda: xls.exists() and xls.stat().st_mtime_ns != written and not shown("Save As"),
                 "the workbook replaced")
        assert sorted(p.name for p in folder.iterdir()) == listing
        wine("taskkill", "/IM", "kestrane.exe").wait(30)  # a task manager's request to end: accepted
        assert app.wait(30) == 0
    finally:  # nothing of this prefix outlives the test
        app.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.environ["KESTRANE_WINEPREFIX"]))


@contextlib.contextmanager
def virtual_desktop():
    """Xvfb and openbox, with DISPLAY set to them while the block runs."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
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


with tempfile.TemporaryDirectory() as private, virtual_desktop():
    if WINE:
        wine_road(sys.argv[2], sys.argv[3], Path(private))
    else:
        assert glob.glob("/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so"), "no GTK theme: qt6-gtk-platformtheme"
        os.environ.update(QT_QPA_PLATFORM="xcb", QT_QPA_PLATFORMTHEME="gtk3",
                          XDG_CONFIG_HOME=private, XDG_DATA_HOME=private, XDG_CACHE_HOME=private)
        os.environ.pop("QT_SCALE_FACTOR", None)
        (Path(private) / "work").mkdir()
        linux_road(sys.argv[1], sys.argv[2], Path(private) / "work")
print("end to end%s: passed" % (" under Wine" if WINE else ""))
