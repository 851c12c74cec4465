#!/usr/bin/python3
"""How the program ends, end to end: the window's own close controls are
refused (while the same controls do close a dialog, so the requests really are
made), the exit command ends the program with status 0, and so does SIGTERM,
whatever is on the screen at the time."""

import signal
import sys
import time

sys.dont_write_bytecode = True  # nothing left in the source tree

import scenarios  # noqa: E402  (puts the readers' folder on the path)
import make_dat  # noqa: E402
from desktop import MAIN_TITLE  # noqa: E402
from steps import open_file, write_dat  # noqa: E402

# How long a refused close is watched for the window to go: a close that is
# accepted takes a few milliseconds.
REFUSAL_WATCH = 1.0


def close_with_alt_f4(app, window):
    app.desktop.key("alt+F4")


def close_with_title_bar_button(app, window):
    # openbox puts the close button at the right end of the title bar.
    x, y, width, _ = app.desktop.geometry(window)
    _, _, top, _ = app.desktop.frame_extents(window)
    app.desktop.click(x + width - 10, y - top // 2)


def close_from_window_menu(app, window):
    # The window manager's menu drops down over the window's top left corner.
    x, y, _, _ = app.desktop.geometry(window)
    before = app.desktop.capture(x, y, 120, 120)
    app.desktop.key("alt+space")
    app.desktop.wait_for(lambda: app.desktop.capture(x, y, 120, 120) != before, 20, "the window menu")
    app.desktop.key("c")


CLOSE_WAYS = [close_with_alt_f4, close_with_title_bar_button, close_from_window_menu]


def close_controls_refused(context):
    app = context.start()
    dat = write_dat(context, "close.dat", make_dat.ramp_points(10, seed=2), 5.0, make_dat.PLAIN_NAMES)
    for close in CLOSE_WAYS:
        loaded = open_file(app, dat)
        app.desktop.wait_active(MAIN_TITLE)
        close(app, app.window)
        deadline = time.monotonic() + REFUSAL_WATCH
        while time.monotonic() < deadline:
            assert app.running() and app.desktop.windows(MAIN_TITLE), "%s closed the window" % close.__name__
            time.sleep(0.05)
        assert app.view() == loaded, "%s changed the window: %s" % (close.__name__, app.view())
        context.shot("after-" + close.__name__)

        # The same control closes the open dialog: a cancel, which unloads.
        app.start_command("open", "shortcut")
        dialog = app.desktop.wait_window("Open")
        app.wait_dialog("Open")
        close(app, dialog)
        app.wait_no_dialog("Open")
        app.wait_unloaded()
        assert app.running()


def exit_from_file_menu(context):
    app = context.start()
    dat = write_dat(context, "exit-menu.dat", make_dat.ramp_points(10, seed=3), 5.0, make_dat.PLAIN_NAMES)
    open_file(app, dat)
    # "Exit" has no access key: the arrow keys reach it (Up wraps from the
    # first item to the last).
    app.open_file_menu()
    app.desktop.key("Up")
    exit_item = app.accessible.find("menu item", "Exit")
    app.desktop.wait_for(lambda: "focused" in exit_item.states, 20, "Exit to be the chosen item")
    context.shot("exit-item")
    app.desktop.key("Return")
    assert app.wait_ended() == 0
    assert not app.desktop.windows(MAIN_TITLE)


def exit_button(context):
    app = context.start()
    dat = write_dat(context, "exit-button.dat", make_dat.ramp_points(10, seed=4), 5.0, make_dat.PLAIN_NAMES)
    open_file(app, dat)  # loaded and not converted: dropped without a question
    app.click_button("cmdExit")
    assert app.wait_ended() == 0
    assert not app.desktop.windows(MAIN_TITLE)


def nothing_more(app):
    pass


def open_dialog_shown(app):
    app.start_command("open", "shortcut")
    app.wait_dialog("Open")


def message_box_shown(app):
    app.start_command("unload", "shortcut")
    app.wait_message("Kestrane")


def sigterm(context):
    for showing in (nothing_more, open_dialog_shown, message_box_shown):
        app = context.start()
        showing(app)
        app.proc.send_signal(signal.SIGTERM)
        status = app.wait_ended()
        assert status == 0, "ended with status %s on SIGTERM with %s" % (status, showing.__name__)
        context.desktop.wait_no_window(MAIN_TITLE)


if __name__ == "__main__":
    sys.exit(scenarios.run([close_controls_refused, exit_from_file_menu, exit_button, sigterm], sys.argv))
