#!/usr/bin/python3
# e2e.py PROGRAM SOFFICE | e2e.py --wine RUNNER PROGRAM: the program on Xvfb with openbox, by the keyboard alone, a
# log converted through the real dialogs and read back. After every dialog and message box the window is active
# again and Enter does what the focused button does: no click gives the keyboard back.

import glob, os, signal, struct, subprocess, sys, tempfile, time
from pathlib import Path

import xlrd

sys.dont_write_bytecode = True  # no __pycache__ left in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from dat_log import dat_bytes  # noqa: E402

MAIN = "Data File Conversion Utility"  # the window's title
WINE = sys.argv[1] == "--wine"
# The log both roads convert: 25 samples, a 3-second interval, names with blanks and a code-page degree sign.
VALUES = [[(c + 1) * 1000.0 + p / 7.0 for c in range(7)] for p in range(25)]
NAMES = ["Pressure", "Temp \xb0C", "", " " * 20, "Flow rate", "Channel six long nam", "7"]


def check_workbook(path):
    """The title block, the names whole, and every sample as logged, as xlrd reads them."""
    sheet = xlrd.open_workbook(str(path)).sheet_by_index(0)
    assert sheet.cell_value(0, 0) == "Periodic Data Import" and sheet.cell_value(2, 1) == 3.0
    rows = [["Time Increment (s)"] + [n.ljust(20) for n in NAMES]]
    rows += [[3.0 * p] + [struct.unpack("<f", struct.pack("<f", v))[0] for v in row] for p, row in enumerate(VALUES, 1)]
    assert [sheet.row_values(r, 0, 8) for r in [4, *range(6, sheet.nrows)]] == rows


def until(condition, timeout=30):
    deadline = time.monotonic() + timeout
    while not (done := condition()) and time.monotonic() < deadline:
        time.sleep(0.05)
    return done


def output(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def active():
    """The title of the window the keyboard reaches: the window manager's active window, once the X input focus is
    in it too (the program takes the focus when the window manager offers it, a moment later)."""
    window = output("xdotool", "getactivewindow", "getwindowname").strip()
    return window if output("xdotool", "getwindowfocus", "getwindowname").strip() == window else None


def shown(title):
    return len(output("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title).split())


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def press(*keys, then=MAIN, count=1, tries=1, timeout=60):
    """Presses keys, a path written over the file dialog's name field (under Wine pasted as a Windows path: Wine
    takes the X clipboard); waits for `count` windows titled `then`, the keyboard in the last. With `tries`, presses
    again while none comes: a fresh X server may lose a key press to its keymap set-up."""
    for _ in range(tries):
        for k in keys:
            if "/" in k and WINE:
                xdotool("key", "Home", "shift+End")
                clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"], stdin=subprocess.PIPE)
                clip.communicate(("Z:" + k.replace("/", "\\")).encode())
                xdotool("key", "ctrl+v")
                clip.wait(10)
            else:
                xdotool(*(["key", "ctrl+a", "type", "--delay", "5", k] if "/" in k else ["key", k]))
        if until(lambda: shown(then) == count and active() == then, timeout / tries):
            break
    else:
        raise AssertionError("timed out waiting for " + then)
    time.sleep(0.3)  # a key pressed while the window manager still moves the keyboard is lost: an operator is slower
    assert active() == then, "%s did not keep the keyboard" % then


def off_centre(window):
    """Pixels between the middle of the 1024 x 768 screen and that of the frame openbox puts the window in."""
    frame = output("xwininfo", "-tree", "-id", window).split("Parent window id: ")[1].split()[0]
    info = output("xwininfo", "-id", frame)
    x, y, width, height = (int(info.split(k + ": ")[1].split()[0]) for k in ("left X", "left Y", "Width", "Height"))
    return 1e9 if "(the root window)" in info else max(abs(2 * x + width - 1024), abs(2 * y + height - 768)) / 2


def start(command):
    proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    press(timeout=90)  # a first start under Wine makes its prefix
    window = output("xdotool", "getactivewindow").strip()  # Wine centres it on Windows' frame, not openbox's
    assert until(lambda: WINE or off_centre(window) <= 2, 10), "the window not centred with its frame"
    return proc


def road(program, folder, soffice):
    """A log converted as proposed; a refusal, a save cancelled, the close guard. On Linux (GNOME's GTK theme) a
    workbook open in LibreOffice, the question before replacing declined, SIGTERM, exit; under Wine (a non-ASCII
    folder) a file replaced and a task manager's request to end."""
    folder.mkdir(parents=True)
    dat, xls, upper = folder / (folder.name + ".dat"), folder / (folder.name + ".xls"), folder / "OTHER.DAT"
    dat.write_bytes(dat_bytes(VALUES, (3, 0), NAMES))
    upper.write_bytes(dat.read_bytes())
    app = start(program)
    # Enter on Open, which has the focus at the start, then on Convert, which has it once loaded: the log's name and
    # folder, as a workbook, proposed and taken. Once: again could reach the dialog, but on Linux, where none is slow.
    press("Return", then="Open", tries=1 if WINE else 3)
    press(str(dat), "Return")
    press("Return", then="Save As")
    press("Return")
    assert until(xls.exists), "no workbook"
    check_workbook(xls)
    if not WINE:  # LibreOffice opens a copy, slowly: meanwhile the road goes on
        shared = folder.parent / xls.name
        shared.write_bytes(xls.read_bytes())
        office = subprocess.Popen([soffice, "--headless", "--norestore", "-env:UserInstallation=" +
                                   (folder.parent / "office").as_uri(), str(shared)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    # A path without ".dat" in lower case is refused; Convert has the focus, with nothing loaded.
    press("ctrl+o", then="Open")
    press(str(upper), "Return", then="Kestrane")  # "File must be (.Dat)"
    press("Return")
    press("Return", then="Kestrane")  # "No (.DAT) File Loaded"
    press("Return")
    press("ctrl+o", then="Open")
    press(str(dat), "Return")
    if WINE:
        press("Return", then="Save As")
    else:
        try:  # a workbook LibreOffice has open is not replaced under it; the data stay for another try
            assert until((shared.parent / (".~lock.%s#" % xls.name)).exists, 180), "no lock file from LibreOffice"
            press("ctrl+c", then="Save As")
            press(str(shared), "Return", then="Save As", count=2)  # the question before replacing
            press("y", then="Permission denied")  # "Problems Writing Excel File"
            press("Return")
        finally:
            os.killpg(office.pid, signal.SIGKILL)
        press("ctrl+c", then="Save As")  # the name without its ".xls" asks too; No, then the dialog cancelled
        press(str(xls.with_suffix("")), "Return", then="Save As", count=2)
        press("n", then="Save As")
    press("Escape")  # the save cancelled: the log unloaded, Open has the focus
    xdotool("key", "alt+F4")  # refused: the window stays
    time.sleep(2)
    assert app.poll() is None and shown(MAIN), "Alt+F4 closed the window"
    press("Return", then="Open")

    if WINE:  # converted again onto the same name: Windows' own question comes first. After it Wine leaves the
        # keyboard with no window, a minimal Win32 program's too, so the road ends with a task manager's request.
        before = xls.stat().st_mtime_ns
        press(str(dat), "Return")
        press("ctrl+c", then="Save As")
        press("Return", then="Save As", count=2)
        xdotool("key", "Return")  # Yes
        assert until(lambda: xls.exists() and xls.stat().st_mtime_ns != before and not shown("Save As")), "not replaced"
        subprocess.run([program[0], "taskkill", "/IM", "kestrane.exe"], capture_output=True, timeout=30)
        assert app.wait(30) == 0
    else:
        app.terminate()  # SIGTERM while a dialog holds the thread
        assert app.wait(20) == 0
        app = start(program)  # the exit command, from the File menu: Up wraps to its last item
        xdotool("key", "--delay", "500", "alt+f", "Up", "Return")
        assert app.wait(20) == 0
    assert sorted(folder.iterdir()) == sorted([dat, xls, upper]), "a file saved elsewhere, or left behind"


read_end, write_end = os.pipe()  # a desktop of the test's own: Xvfb and openbox
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                        pass_fds=(write_end,), stderr=subprocess.DEVNULL)
os.close(write_end)
os.environ["DISPLAY"] = ":" + os.fdopen(read_end).readline().strip()
subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # ends with it
try:
    with tempfile.TemporaryDirectory() as private:
        assert until(lambda: "window id" in output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")), "no openbox"
        if WINE:
            road(sys.argv[2:4], Path(private, "Messdaten Größe", "Тест 測定"), None)
        else:
            assert glob.glob("/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so"), "no GTK theme: qt6-gtk-platformtheme"
            os.environ.update(QT_QPA_PLATFORM="xcb", QT_QPA_PLATFORMTHEME="gtk3",
                              XDG_CONFIG_HOME=private, XDG_DATA_HOME=private, XDG_CACHE_HOME=private)
            os.environ.pop("QT_SCALE_FACTOR", None)
            road(sys.argv[1:2], Path(private, "probe"), sys.argv[2])
finally:  # nothing outlives the test: an X server still ending would take the next one's window manager
    if WINE:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.environ["KESTRANE_WINEPREFIX"]))
    xvfb.terminate()
    xvfb.wait()
print("end to end%s: passed" % (" under Wine" if WINE else ""))
