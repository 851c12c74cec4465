"""Steps the operator takes in more than one test: making a .DAT file to
open, opening it, and converting it to a workbook, each checked on the way."""

import time
from pathlib import Path

import make_dat
import workbook_layout


def write_dat(context, name, points, interval, names):
    return make_dat.write_dat(context.work / name, points, interval, names)


def names_of(dat):
    """The seven names as the window must show them: whole, blanks and all."""
    return workbook_layout.read_dat(dat).names


def open_file(app, dat, way="shortcut"):
    """Opens `dat` through the open dialog; returns the window's view once
    the file is loaded."""
    app.start_command("open", way)
    app.choose_file("Open", dat)
    loaded = app.wait_loaded(names_of(dat))
    assert loaded.focus == "cmdSaveFile", loaded  # Convirt follows a completed read
    assert loaded.enabled["cmdConvirt"] and loaded.enabled["cmdSaveFile"], loaded
    assert loaded.progress == 0, loaded  # back at its minimum, 1
    return loaded


def convert(context, app, dat, xls, way="shortcut", while_asked=None):
    """Converts the loaded file to `xls` through the save dialog, and keeps
    the workbook for reading back. `way` is one of those of start_command.
    `while_asked` runs while the save dialog is up, the workbook built and
    waiting for its name."""
    xls = Path(xls)
    since = time.time()
    app.start_command("convert", way)
    app.wait_dialog("Save As")
    asked = app.view()
    assert asked.notice == "Writing to (.xls) File", asked
    assert not xls.exists(), "written before its name was chosen"
    if while_asked:
        while_asked()
    app.choose_file("Save As", xls)
    app.desktop.wait_for(xls.exists, 30, "%s to be written" % xls)
    done = app.wait_view("the notice gone after saving", lambda v: v.notice is None)
    until = time.time()
    assert done.enabled["cmdConvirt"] and done.progress == 0, done  # back at its minimum, 1
    assert done.names == names_of(dat) and done.status == "File Loaded", done
    context.workbooks.append((str(dat), str(xls), since, until))
    return done
