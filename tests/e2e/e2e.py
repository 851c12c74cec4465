#!/usr/bin/python3
# e2e.py PROGRAM SOFFICE: the program on Xvfb, openbox and GNOME's GTK theme, by the keyboard alone: a file opened,
# converted, read back; a refusal; a workbook open in LibreOffice; a cancel; the close guard; exit and SIGTERM. After
# every dialog and message box the window is active again and Enter does what the focused button does.

import glob
import os
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ left in the source tree
from desktop import MAIN, active, back, close, has_keyboard, key, output, send, shown, virtual_desktop, wait_for
from probe_log import check_workbook, write_log

NAMES = ["Pressure", "Temp \xb0C", "", " " * 20, "Flow rate", "Channel six long nam", "7"]


def open_log(path, by="ctrl+o", refused=False):
    key(by, expect="Open")
    close("Open", "ctrl+a", str(path), "Return")
    if not refused:
        back()


def save_over(path, answer):
    """Saves onto an existing file: the question comes up over the save dialog and gets `answer`."""
    key("ctrl+c", expect="Save As")
    send("ctrl+a", str(path), "Return")
    wait_for(lambda: shown("Save As") == 2, "the question before replacing")
    send(answer)


def off_centre(window):
    """Pixels between the middle of the 1024 x 768 screen and that of the window with the frame openbox draws."""
    info = output("xwininfo", "-id", window)
    x, y, width, height = (int(info.split(k + ": ")[1].split()[0]) for k in ("upper-left X", "upper-left Y", "Width", "Height"))
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


def run(program, soffice, work):
    dat, xls, upper = work / "probe.dat", work / "probe.xls", work / "PROBE.DAT"
    write_log(dat, NAMES)
    upper.write_bytes(dat.read_bytes())

    app = start(program)  # the road of one file: Enter on Open, then on Convert, which has the focus once loaded
    open_log(dat, by="Return")
    send("Return")
    has_keyboard("Save As", "Enter to convert")
    close("Save As", "Return")  # the log's name as a workbook, proposed
    back()
    wait_for(xls.exists, "the workbook")
    check_workbook(xls, NAMES)
    written, shared = xls.read_bytes(), work / "shared" / "probe.xls"
    shared.parent.mkdir()  # LibreOffice opens a copy, slowly: meanwhile the rest goes on
    shared.write_bytes(written)
    office = subprocess.Popen([soffice, "--headless", "--norestore", "-env:UserInstallation=" + (work.parent / "office").as_uri(),
                               str(shared)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    # A path without ".dat" in lower case is refused; Convert has the focus, with nothing loaded.
    open_log(upper, refused=True)
    has_keyboard("Kestrane", "File must be (.Dat)")
    close("Kestrane", "Return")
    back()
    send("Return")
    has_keyboard("Kestrane", "No (.DAT) File Loaded")
    close("Kestrane", "Return")
    back()

    key("alt+F4")  # refused: the window stays and still answers
    time.sleep(1)
    assert app.poll() is None and shown(MAIN), "Alt+F4 closed the window"
    open_log(dat)

    try:  # a workbook LibreOffice has open is not replaced under it; the data stay for another try
        wait_for((shared.parent / ".~lock.probe.xls#").exists, "LibreOffice's lock file", 180)
        save_over(shared, "y")
        has_keyboard("Permission denied", "Problems Writing Excel File")
        close("Permission denied", "Return")
        back()
    finally:
        os.killpg(office.pid, signal.SIGKILL)
    save_over(xls.with_suffix(""), "n")  # the name without its ".xls" asks too; No, then the dialog cancelled
    wait_for(lambda: shown("Save As") == 1, "the question to go")
    close("Save As", "Escape")
    back()
    send("Return")  # Open has the focus, also after its own dialog cancelled
    has_keyboard("Open", "Enter to open")
    close("Open", "Escape")
    back()
    send("Return")
    has_keyboard("Open", "Enter to open again")
    close("Open", "Escape")
    back()
    key("ctrl+c", expect="Kestrane")  # "No (.DAT) File Loaded"
    close("Kestrane", "Return")
    back()
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


with tempfile.TemporaryDirectory() as private, virtual_desktop():
    assert glob.glob("/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so"), "no GTK theme: qt6-gtk-platformtheme"
    os.environ.update(QT_QPA_PLATFORM="xcb", QT_QPA_PLATFORMTHEME="gtk3",
                      XDG_CONFIG_HOME=private, XDG_DATA_HOME=private, XDG_CACHE_HOME=private)
    os.environ.pop("QT_SCALE_FACTOR", None)
    (Path(private) / "work").mkdir()
    run(sys.argv[1], sys.argv[2], Path(private) / "work")
print("end to end: passed")
