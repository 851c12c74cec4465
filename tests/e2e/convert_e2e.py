#!/usr/bin/python3
"""The road of a file, end to end: the operator opens a .DAT file and converts
it to a workbook, by the Ctrl shortcuts, by the File menu's access keys, by
clicks on the buttons and by the space bar on the focused button; every workbook written is then read back by xlrd and LibreOffice
and compared cell by cell with its .DAT file."""

import sys

sys.dont_write_bytecode = True  # nothing left in the source tree

import scenarios  # noqa: E402  (puts the readers' folder on the path)
import check_workbook  # noqa: E402
import libreoffice_reader  # noqa: E402
import make_dat  # noqa: E402
from kestrane_app import BUTTONS  # noqa: E402
from steps import convert, names_of, open_file, write_dat  # noqa: E402


def by_shortcut_keys(context):
    app = context.start()
    context.shot("first-shown")
    # Centred as the operator sees it: the outer frame, title bar included,
    # within 2 pixels of the middle of the screen.
    screen_width, screen_height = context.desktop.size

    def off_centre():
        x, y, width, height = context.desktop.outer_geometry(app.window)
        return (2 * x + width - screen_width) / 2, (2 * y + height - screen_height) / 2
    offset = off_centre()
    assert abs(offset[0]) <= 2 and abs(offset[1]) <= 2, "the window opened %s pixels off the middle" % (offset,)
    first = app.view()
    assert first.status == "No File Loaded" and first.names == [""] * 7, first
    assert first.notice is None and first.focus == "cmdConvirt", first
    assert all(first.enabled.values()), first

    dat = write_dat(context, "shortcut.dat", make_dat.ramp_points(100, seed=3), 5.0, make_dat.PLAIN_NAMES)
    context.desktop.key("ctrl+o")
    app.wait_dialog("Open")
    context.shot("open-dialog")
    app.choose_file("Open", dat)
    loaded = app.wait_loaded(names_of(dat))
    assert loaded.focus == "cmdSaveFile" and loaded.progress == 0, loaded
    app.desktop.wait_for(lambda: not app.boxes_look_empty(), 20, "the names drawn in their boxes")
    context.shot("file-loaded")

    def see_the_notice_behind_the_dialog():
        app.drag_dialog_aside("Save As", 460)
        app.desktop.wait_for(app.notice_on_screen, 20, "the notice \"Writing to (.xls) File\" on screen")
        context.shot("save-dialog-and-writing-notice")
    convert(context, app, dat, context.work / "shortcut.xls", "shortcut", see_the_notice_behind_the_dialog)
    app.desktop.wait_for(lambda: not app.notice_on_screen(), 20, "the notice gone from the screen")
    context.shot("converted")


def by_file_menu(context):
    app = context.start()
    app.open_file_menu()
    context.shot("file-menu")
    context.desktop.key("Escape")
    dat = write_dat(context, "menu.dat", make_dat.SPECIAL_POINTS, -3.0, make_dat.ODD_NAMES)
    open_file(app, dat, "menu")
    convert(context, app, dat, context.work / "menu.xls", "menu")
    # A second file in the same run: the largest a dataset can hold.
    largest = write_dat(context, "menu-largest.dat", make_dat.ramp_points(make_dat.MOST_POINTS, seed=5), 60.0,
                        make_dat.PLAIN_NAMES[::-1])
    open_file(app, largest, "menu")
    convert(context, app, largest, context.work / "menu-largest.xls", "menu")


def by_buttons(context):
    app = context.start()
    for name in BUTTONS:
        assert app.buttons[name].extents == app.button_place(name), \
            "%s at %s, not at its place %s" % (name, app.buttons[name].extents, app.button_place(name))
    dat = write_dat(context, "buttons.dat", [make_dat.SPECIAL_POINTS[0]], 0.0, make_dat.PLAIN_NAMES)
    open_file(app, dat, "button")
    convert(context, app, dat, context.work / "buttons.xls", "button")

    # After a read the focus is on "Convirt to Excel File": the space bar
    # presses it.
    second = write_dat(context, "buttons-space.dat", make_dat.random_bit_points(50, seed=9), 1.0,
                       make_dat.ODD_NAMES)
    open_file(app, second, "button")
    convert(context, app, second, context.work / "buttons-space.xls", "space")


def by_keyboard_focus(context):
    app = context.start()
    # Tab goes round the buttons only; the Convirt button follows the Open
    # button whatever the tab order, so Tab never lands on Exit.
    focus = [app.view().focus]
    for _ in range(4):
        context.desktop.key("Tab")
        focus.append(app.wait_view("the focus to move", lambda v, last=focus[-1]: v.focus != last).focus)
    assert focus == ["cmdConvirt", "cmdSaveFile", "cmdUnload", "cmdConvirt", "cmdSaveFile"], focus
    context.desktop.key("shift+Tab")
    app.wait_view("the focus back on Exit", lambda v: v.focus == "cmdExit")
    context.desktop.key("shift+Tab")
    app.wait_view("the focus back on Open", lambda v: v.focus == "cmdConvirt")

    # The space bar presses the focused button: Open, then (the focus having
    # moved there after the read) Convirt.
    dat = write_dat(context, "keyboard.dat", make_dat.ramp_points(12, seed=13), 30.0, make_dat.PLAIN_NAMES)
    open_file(app, dat, "space")
    convert(context, app, dat, context.work / "keyboard.xls", "space")


def workbooks_read_back(context):
    """Every workbook written above, read back by xlrd and by LibreOffice (one
    run for all of them), matches its .DAT file cell by cell."""
    assert context.workbooks, "no workbook was written"
    fods = libreoffice_reader.convert_to_fods([xls for _, xls, _, _ in context.workbooks],
                                              context.work / "fods", context.soffice)
    failed = []
    for dat, xls, since, until in context.workbooks:
        mismatches = check_workbook.check(dat, xls, since, until, fods[xls])
        if mismatches:
            check_workbook.report(xls, mismatches)
            failed.append(xls)
        else:
            print("  %s: every cell matches %s, for xlrd and LibreOffice" % (xls, dat))
    assert not failed, "workbooks that do not match their .DAT files: %s" % failed


if __name__ == "__main__":
    sys.exit(scenarios.run([by_shortcut_keys, by_file_menu, by_buttons, by_keyboard_focus], sys.argv,
                           finish=workbooks_read_back))
