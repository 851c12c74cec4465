#!/usr/bin/python3
# e2e_wine.py RUNNER PROGRAM: the Windows program under Wine, on Xvfb with openbox, by the keyboard alone: a log in a
# non-ASCII folder opened, converted and saved beside it through the real dialogs, read back cell for cell; each
# dialog cancelled; a message box; the close guard; a task manager's request to end. After every dialog and message
# box the window is active again and Enter does what the focused button does: no click gives the keyboard back.
# (Not after Windows' question before replacing a file: there Wine loses the keyboard for any program.)

import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from desktop import MAIN, back, close, has_keyboard, key, send, shown, virtual_desktop, wait_for  # noqa: E402
from probe_log import check_workbook, write_log  # noqa: E402

NAMES = ["Druck", "Temp \xb0C", "", " " * 20, "Durchfluss", "Kanal sechs lang nam", "7"]
RUNNER, PROGRAM = sys.argv[1], sys.argv[2]


def paste(text):
    """Puts `text` on the clipboard and pastes it where the cursor is: Wine takes the X clipboard."""
    clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "1"], stdin=subprocess.PIPE)
    clip.communicate(text.encode())
    subprocess.run(["xdotool", "key", "ctrl+v"], check=True)
    clip.wait(10)


def enter(expect):
    """Enter once, on the focused button: a second press could reach the dialog it brings up."""
    send("Return")
    wait_for(lambda: shown(expect), "Enter to bring up " + expect, 60)
    has_keyboard(expect, expect)


def open_log(path, by="ctrl+o"):
    key(by, expect="Open") if by != "Return" else enter("Open")
    send("Home", "shift+End")  # the name field holds the last file chosen
    paste("Z:" + str(path).replace("/", "\\"))
    close("Open", "Return")
    back()


def convert(*answers):
    """Enter on Convert, which has the focus: the Save As dialog, answered."""
    enter("Save As")
    send(*answers)


def wine(*args):
    return subprocess.Popen([RUNNER, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def run(work):
    folder = work / "Messdaten Größe" / "Тест 測定"
    folder.mkdir(parents=True)
    dat, xls = folder / "Тест 測定.dat", folder / "Тест 測定.xls"
    write_log(dat, NAMES)
    app = wine(PROGRAM)
    try:
        road(app, folder, dat, xls)
    finally:  # nothing of this prefix outlives the test
        app.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.environ["KESTRANE_WINEPREFIX"]))


def road(app, folder, dat, xls):
    wait_for(lambda: shown(MAIN), MAIN, 90)  # a first start makes the Wine prefix
    back()
    open_log(dat, by="Return")  # Enter on Open, which has the focus at the start
    convert("Return")  # Enter on Convert; the log's own name and folder, as a workbook
    wait_for(lambda: [p for p in folder.iterdir() if p != dat and not p.name.startswith(".")], "the workbook")
    back()
    names = sorted(p.name for p in folder.iterdir())
    assert names == [dat.name, xls.name], "not saved as proposed, or a temporary file left: %s" % names
    check_workbook(xls, NAMES)

    key("ctrl+o", expect="Open")  # each dialog cancelled: the focus on Open, where Enter opens again
    close("Open", "Escape")
    back()
    open_log(dat, by="Return")
    convert("Escape")
    wait_for(lambda: not shown("Save As"), "the Save As dialog to close")
    back()
    enter("Open")
    close("Open", "Escape")
    back()
    key("ctrl+c", expect="Kestrane")  # "No (.DAT) File Loaded"
    close("Kestrane", "Return")
    back()
    key("alt+F4")  # refused: the window stays
    time.sleep(2)
    assert app.poll() is None and shown(MAIN), "Alt+F4 closed the window"

    # Converted again onto the same name: Windows' own question comes first. After it Wine leaves the keyboard
    # with no window, a minimal Win32 program's too, so the road ends here.
    written = xls.stat().st_mtime_ns
    open_log(dat)
    convert("Return")
    wait_for(lambda: shown("Save As") == 2, "the question before replacing")
    send("Return")  # Yes
    wait_for(lambda: xls.exists() and xls.stat().st_mtime_ns != written and not shown("Save As"), "the workbook replaced")
    assert sorted(p.name for p in folder.iterdir()) == names
    wine("taskkill", "/IM", "kestrane.exe").wait(30)  # a task manager's request to end: accepted
    assert app.wait(30) == 0


with tempfile.TemporaryDirectory() as private, virtual_desktop():
    run(Path(private))
print("end to end under Wine: passed")
