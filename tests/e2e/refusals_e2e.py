#!/usr/bin/python3
"""The ways a file does not get converted, end to end: a path without ".dat"
refused, the open and save dialogs cancelled, the question before a file is
replaced, a workbook that cannot be written or is open in LibreOffice, a file
too short to read, and unloading. Each ends in a state the
operator can see, and no file is written that was not asked for."""

import glob
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing left in the source tree

import scenarios  # noqa: E402  (puts the readers' folder on the path)
import check_workbook  # noqa: E402
import make_dat  # noqa: E402
import workbook_layout  # noqa: E402
import xlrd_reader  # noqa: E402
from steps import names_of, open_file, write_dat  # noqa: E402

NO_FILE_LOADED = "No (.DAT) File Loaded"


def files_in(folder):
    return sorted(p.name for p in folder.rglob("*") if p.is_file())


def expect_message(app, title, text, context=None, shot=None):
    """Waits for a message box, checks its title, text and single OK button,
    and presses OK."""
    box = app.wait_message(title)
    assert (box.title, box.text, box.buttons) == (title, text, ["OK"]), box
    if shot:
        context.shot(shot)
    app.answer("Return", title)


def expect_no_file_to_convert(app, context=None, shot=None):
    """Ctrl+C finds no file loaded: the message, then the Open button enabled."""
    app.start_command("convert", "shortcut")
    expect_message(app, "Kestrane", NO_FILE_LOADED, context, shot)
    after = app.wait_view("the Open button enabled again", lambda v: v.enabled["cmdConvirt"])
    assert not app.dialogs("Save As"), "a save dialog without a file loaded"
    return after


def upper_case_path_refused(context):
    app = context.start()
    earlier = write_dat(context, "earlier.dat", make_dat.ramp_points(20, seed=1), 5.0, make_dat.PLAIN_NAMES)
    open_file(app, earlier)
    # The dialog's filter lists upper-case files, but only a path holding
    # ".dat" in lower case is read.
    upper = write_dat(context, "LOGGER.DAT", make_dat.ramp_points(5, seed=2), 5.0, make_dat.ODD_NAMES)
    assert ".dat" not in str(upper)
    before = files_in(context.work)
    app.start_command("open", "shortcut")
    app.choose_file("Open", upper)
    expect_message(app, "Kestrane", "File must be (.Dat)", context, "refused-message")
    refused = app.wait_unloaded()
    assert refused.focus == "cmdSaveFile" and all(refused.enabled.values()), refused
    app.desktop.wait_for(app.boxes_look_empty, 20, "the channel-name boxes blank on screen")
    context.shot("refused")

    # The earlier file's values are still in memory, but nothing counts as
    # loaded: nothing can be converted.
    expect_no_file_to_convert(app, context, "no-file-loaded-message")
    # Asked once more, the command does nothing at all and leaves the Open
    # button disabled; the shortcut still opens a file.
    app.start_command("convert", "shortcut")
    app.wait_view("the Open button disabled", lambda v: not v.enabled["cmdConvirt"])
    assert not app.message_boxes() and not app.dialogs("Save As")
    assert files_in(context.work) == before
    open_file(app, earlier)


def open_dialog_cancelled(context):
    app = context.start()
    dat = write_dat(context, "cancel-open.dat", make_dat.ramp_points(10, seed=4), 5.0, make_dat.PLAIN_NAMES)
    open_file(app, dat)
    app.start_command("open", "shortcut")
    app.cancel_dialog("Open")
    cancelled = app.wait_unloaded()
    assert cancelled.focus == "cmdConvirt" and all(cancelled.enabled.values()), cancelled
    assert not app.message_boxes(), "a message after a cancel"
    app.desktop.wait_for(app.boxes_look_empty, 20, "the channel-name boxes blank on screen")
    expect_no_file_to_convert(app)


def save_dialog_cancelled(context):
    app = context.start()
    dat = write_dat(context, "cancel-save.dat", make_dat.ramp_points(10, seed=6), 5.0, make_dat.PLAIN_NAMES)
    open_file(app, dat)
    before = files_in(context.work)
    app.start_command("convert", "shortcut")
    app.wait_dialog("Save As")
    context.shot("save-dialog")
    app.cancel_dialog("Save As")
    cancelled = app.wait_unloaded()
    assert cancelled.focus == "cmdConvirt" and cancelled.notice is None, cancelled
    assert cancelled.enabled["cmdConvirt"], cancelled
    assert not app.message_boxes(), "a message after a cancel"
    assert files_in(context.work) == before, "a file written after a cancel"
    expect_no_file_to_convert(app)


def replacing_a_file_asks_first(context):
    """Under the GTK platform theme, as on a GNOME desktop: the save dialog
    proposes the log's name as a workbook, never the log itself, and every way
    of naming an existing workbook asks before it is replaced."""
    assert glob.glob("/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so"), \
        "the GTK platform theme is not installed (qt6-gtk-platformtheme, make deps)"
    app = context.start(env={"QT_QPA_PLATFORMTHEME": "gtk3"})
    first = write_dat(context, "replace-first.dat", make_dat.ramp_points(30, seed=8), 5.0, make_dat.PLAIN_NAMES)
    first_bytes = first.read_bytes()
    open_file(app, first)

    # Return at once saves beside the log, under its name as a workbook.
    since = time.time()
    app.start_command("convert", "shortcut")
    app.wait_dialog("Save As")
    context.shot("save-dialog-proposal")
    app.desktop.key("Return")
    proposed = context.work / "replace-first.xls"
    app.desktop.wait_for(proposed.exists, 30, "%s to be written" % proposed)
    app.wait_view("the notice gone after saving", lambda v: v.notice is None)
    check_read_back(first, proposed, since)
    assert first.read_bytes() == first_bytes

    # An earlier workbook, named without its extension and then whole: both
    # ask first, and No keeps it as it was.
    target = context.work / "existing.xls"
    target.write_bytes(b"an earlier workbook")
    open_file(app, first)
    app.start_command("convert", "shortcut")
    for typed in (target.with_suffix(""), target):
        app.type_path("Save As", typed)
        prompt = app.wait_message("Save As")
        assert "existing.xls already exists" in prompt.text and "replace it?" in prompt.text, (typed, prompt)
        assert sorted(prompt.buttons) == ["No", "Yes"], prompt
        context.shot("replace-question-" + typed.name)
        app.answer("n", "Save As")
        app.wait_dialog("Save As")
        assert target.read_bytes() == b"an earlier workbook"
    app.cancel_dialog("Save As")
    app.wait_unloaded()
    assert target.read_bytes() == b"an earlier workbook"
    assert first.read_bytes() == first_bytes

    # Yes replaces it with the new workbook.
    second = write_dat(context, "replace-second.dat", make_dat.SPECIAL_POINTS, 2.0, make_dat.ODD_NAMES)
    open_file(app, second)
    since = time.time()
    app.start_command("convert", "shortcut")
    app.type_path("Save As", target)
    app.wait_message("Save As")
    app.answer("y", "Save As")
    app.wait_no_dialog("Save As")
    app.desktop.wait_for(lambda: target.read_bytes() != b"an earlier workbook", 30, "the workbook to be replaced")
    app.wait_view("the notice gone after saving", lambda v: v.notice is None)
    check_read_back(second, target, since)
    assert first.read_bytes() == first_bytes


def write_failure_reported(context):
    app = context.start()
    dat = write_dat(context, "write-fail.dat", make_dat.ramp_points(40, seed=10), 5.0, make_dat.PLAIN_NAMES)
    open_file(app, dat)
    # A folder in the chosen path is a regular file: the workbook cannot be
    # saved there, and nothing may be left behind.
    blocker = context.work / "not-a-folder.txt"
    blocker.write_bytes(b"a file where a folder is expected")
    before = files_in(context.work)
    app.start_command("convert", "shortcut")
    app.choose_file("Save As", blocker / "workbook.xls")
    box = app.wait_message()
    # Titled with the failure's description: a folder of the path is missing.
    assert (box.title, box.text, box.buttons) == ("Path not found", "Problems Writing Excel File", ["OK"]), box
    failed = app.view()
    assert failed.notice is None and not failed.enabled["cmdConvirt"], failed
    context.shot("write-failure-message")
    app.answer("Return", box.title)
    # The data stay loaded: converting again, to a good place, works.
    after = app.view()
    assert after.names == failed.names and after.status == "File Loaded", after
    assert files_in(context.work) == before, "a file left behind by a failed save"
    since = time.time()
    app.start_command("convert", "shortcut")
    target = context.work / "after-failure.xls"
    app.choose_file("Save As", target)
    app.desktop.wait_for(target.exists, 30, "the workbook after the failure")
    check_read_back(dat, target, since)


def workbook_open_in_libreoffice(context):
    """A workbook that LibreOffice has open is not replaced under it: the save
    fails as on a locked file, the data stay loaded, and once LibreOffice has
    let the workbook go converting again works."""
    app = context.start()
    dat = write_dat(context, "locked.dat", make_dat.ramp_points(20, seed=14), 5.0, make_dat.PLAIN_NAMES)
    shared = context.work / "shared"
    shared.mkdir()
    target = shared / "locked.xls"
    open_file(app, dat)
    app.start_command("convert", "shortcut")
    app.choose_file("Save As", target)
    app.desktop.wait_for(target.exists, 30, "%s to be written" % target)
    app.wait_view("the notice gone after saving", lambda v: v.notice is None)

    # LibreOffice opens it, with no window, and marks it as open beside it.
    lock = shared / (".~lock.%s#" % target.name)
    profile = (context.work / "libreoffice-profile").as_uri()
    office = context.desktop.start([context.soffice, "--headless", "--norestore", "--nologo",
                                    "-env:UserInstallation=" + profile, str(target)],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        context.desktop.wait_for(lock.exists, 180, "LibreOffice's lock file %s" % lock)
        written = target.read_bytes()
        before = files_in(shared)
        open_file(app, dat)
        app.start_command("convert", "shortcut")
        app.type_path("Save As", target)
        app.wait_message("Save As")  # it exists: replace it?
        app.answer("y", "Save As")
        box = app.wait_message("Permission denied")
        assert (box.text, box.buttons) == ("Problems Writing Excel File", ["OK"]), box
        context.shot("workbook-open-elsewhere")
        app.answer("Return", box.title)
        after = app.view()
        assert after.status == "File Loaded" and after.names == names_of(dat), after
        assert target.read_bytes() == written and files_in(shared) == before
    finally:
        context.desktop.stop(office, signal.SIGTERM)
    # A LibreOffice without a window cannot close the document; ended, it
    # leaves its lock behind as after a crash, and the operator removes it.
    lock.unlink(missing_ok=True)
    since = time.time()
    app.start_command("convert", "shortcut")
    app.type_path("Save As", target)
    app.wait_message("Save As")
    app.answer("y", "Save As")
    app.desktop.wait_for(lambda: target.read_bytes() != written, 30, "the workbook to be replaced")
    app.wait_view("the notice gone after saving", lambda v: v.notice is None)
    check_read_back(dat, target, since)


def check_read_back(dat, xls, since):
    """xlrd reads back in `xls` exactly what `dat` holds."""
    earliest, latest = check_workbook.date_window(since, time.time())
    expected = workbook_layout.expected_sheets(workbook_layout.read_dat(dat), earliest, latest)
    mismatches = check_workbook.compare(expected, xlrd_reader.read_workbook(str(xls)), xlrd_reader)
    if mismatches:
        check_workbook.report(str(xls), mismatches)
    assert not mismatches, "%s does not hold %s" % (xls, dat)


def file_too_short_to_read(context):
    app = context.start()
    short = context.work / "short.dat"
    short.write_bytes(bytes(100))  # less than 110 bytes: no point count
    app.start_command("open", "shortcut")
    app.choose_file("Open", short)
    box = app.wait_message()
    # Sizing the value arrays for -1 points fails as a subscript out of range.
    assert box.title == "Subscript out of range", box
    assert box.text == "Problems Reading File Back Corrupted Data ! " and box.buttons == ["OK"], box
    failed = app.view()
    assert failed.notice == "Reading (.DAT) File", failed
    app.desktop.wait_for(app.notice_on_screen, 20, "the reading notice on screen")
    context.shot("read-failure-message")
    app.answer("Return", box.title)
    after = app.wait_view("\"No File Loaded\"", lambda v: v.status == "No File Loaded")
    # The reading notice stays where the read left it.
    assert after.notice == "Reading (.DAT) File" and all(after.enabled.values()), after
    context.shot("reading-notice-after-failure")
    expect_no_file_to_convert(app)


def unloading(context):
    app = context.start()
    dat = write_dat(context, "unload.dat", make_dat.ramp_points(10, seed=12), 5.0, make_dat.PLAIN_NAMES)
    for way in ("button", "menu", "shortcut"):
        open_file(app, dat)
        app.start_command("unload", way)
        unloaded = app.wait_unloaded()
        assert unloaded.focus == "cmdConvirt", (way, unloaded)
        app.desktop.wait_for(app.boxes_look_empty, 20, "the channel-name boxes blank on screen")
        app.start_command("unload", way)
        expect_message(app, "Kestrane", "No File to Unload", context, "no-file-to-unload-message")
        assert app.view().status == "No File Loaded"


if __name__ == "__main__":
    sys.exit(scenarios.run([upper_case_path_refused, open_dialog_cancelled, save_dialog_cancelled,
                            replacing_a_file_asks_first, write_failure_reported, workbook_open_in_libreoffice,
                            file_too_short_to_read,
                            unloading], sys.argv))
