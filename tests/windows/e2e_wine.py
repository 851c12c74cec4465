#!/usr/bin/python3
# e2e_wine.py RUNNER PROGRAM: the Windows program under Wine, on Xvfb with openbox, by real key presses: a
# log in a folder with a non-ASCII name opened through the Open dialog, converted, saved beside it through the
# Save As dialog and read back cell for cell; the close guard; a task manager's request to end.
# With SHOTS set to a folder, pictures of the window and of the Save As dialog are left there.

import os
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import xlrd

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from desktop import key, output, send, shown, virtual_desktop, wait_for  # noqa: E402

MAIN = "Data File Conversion Utility"
NAMES = ["Druck", "Temp \xb0C", "", " " * 20, "Durchfluss", "Kanal sechs lang nam", "7"]
RUNNER, PROGRAM = sys.argv[1], sys.argv[2]
SHOTS = os.environ.get("SHOTS")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def paste(text):
    """Puts `text` on the clipboard and pastes it where the cursor is: Wine takes the X clipboard."""
    clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"], stdin=subprocess.PIPE)
    clip.communicate(text.encode())
    subprocess.run(["xdotool", "key", "ctrl+v"], check=True)
    clip.wait(10)


def shot(name):
    if SHOTS:
        time.sleep(1)
        subprocess.run(["import", "-window", "root", str(Path(SHOTS) / name)], check=True)


def activate():
    """Windows gives the focus back to the window a dialog belonged to; under Wine and openbox the operator clicks on it."""
    command = ["xdotool", "search", "--onlyvisible", "--name", "^%s$" % MAIN, "windowactivate", "--sync"]
    wait_for(lambda: subprocess.run(command, capture_output=True).returncode == 0, "the window to take the focus", 10)


def open_log(path):
    activate()
    key("ctrl+o", expect="Open")
    send("Home", "shift+End")  # the name field holds the last file chosen
    paste(windows_path(path))
    shot("open-dialog.png")
    send("Return")
    wait_for(lambda: not shown("Open"), "the Open dialog to close")
    activate()


def wine(*args, **kwargs):
    return subprocess.Popen([RUNNER, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)


def run(work):
    values = [[(c + 1) * 1000.0 + p / 7.0 for c in range(7)] for p in range(25)]
    numbers = [struct.pack("<f16x", v) for row in values for v in row] + [struct.pack("<f16x", v) for v in (3, 0)]
    folder = work / "Messdaten Größe" / "Тест 測定"
    folder.mkdir(parents=True)
    dat, xls = folder / "Тест 測定.dat", folder / "Тест 測定.xls"
    dat.write_bytes(b"".join(numbers) + b"".join(n.encode("cp1252").ljust(20) for n in NAMES))

    app = wine(PROGRAM)
    try:
        road(app, folder, dat, xls, values)
    finally:  # nothing of this prefix outlives the test
        app.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.environ["KESTRANE_WINEPREFIX"]))


def road(app, folder, dat, xls, values):
    wait_for(lambda: shown(MAIN), MAIN, 90)  # a first start makes the Wine prefix
    shot("window.png")
    open_log(dat)
    key("ctrl+c", expect="Save As")  # the log's own name and folder, as a workbook
    shot("save-dialog.png")
    send("Return")
    wait_for(lambda: [p for p in folder.iterdir() if p != dat and not p.name.startswith(".")], "the workbook")
    shot("converted.png")
    names = sorted(p.name for p in folder.iterdir())
    assert names == [dat.name, xls.name], "not saved as proposed, or a temporary file left: %s" % names

    sheet = xlrd.open_workbook(str(xls)).sheet_by_index(0)
    assert sheet.cell_value(0, 0) == "Periodic Data Import" and sheet.cell_value(2, 1) == 3.0
    assert sheet.row_values(4, 0, 8) == ["Time Increment (s)"] + [n.ljust(20) for n in NAMES], sheet.row_values(4)
    for p, row in enumerate(values):
        expected = [3.0 * (p + 1)] + [struct.unpack("<f", struct.pack("<f", v))[0] for v in row]
        assert sheet.row_values(6 + p, 0, 8) == expected, (p, sheet.row_values(6 + p))
    assert sheet.nrows == 6 + len(values)

    written = xls.stat().st_mtime_ns
    open_log(dat)  # converted again onto the same name: Windows' own question comes first
    key("ctrl+c", expect="Save As")
    send("Return")
    wait_for(lambda: shown("Save As") == 2, "the question before replacing")
    send("Return")  # Yes
    wait_for(lambda: xls.stat().st_mtime_ns != written and not shown("Save As"), "the workbook replaced")
    assert sorted(p.name for p in folder.iterdir()) == names
    activate()
    key("alt+F4")  # refused: the window stays
    time.sleep(2)
    assert app.poll() is None and shown(MAIN), "Alt+F4 closed the window"
    wine("taskkill", "/IM", "kestrane.exe").wait(30)  # a task manager's request to end: accepted
    assert app.wait(30) == 0


with tempfile.TemporaryDirectory() as private, virtual_desktop():
    run(Path(private))
print("end to end under Wine: passed")
