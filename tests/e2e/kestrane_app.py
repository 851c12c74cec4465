"""The running program as its operator meets it: one window with its buttons
at fixed places, a File menu, file dialogs and message boxes. Everything is
done with real key presses, typing and clicks. What the program shows is read
from the screen (pixels) and from the accessibility tree (texts and states, as
a screen reader tells them); what it does, from the files that appear and the
process's exit status."""

import subprocess
import time
from collections import namedtuple

from desktop import MAIN_TITLE

TWIPS_PER_PIXEL = 15

# Places in twips, each inside its container, as the window is designed.
FRAME1 = (240, 60)             # holds the four buttons
FRAME_TEST_PROBE = (2205, 60)  # holds the channel rows
BUTTONS = {
    "cmdConvirt": ("Open (.DAT) File", (75, 180, 1600, 550)),
    "cmdSaveFile": ("Convirt to Excel File", (75, 735, 1600, 550)),
    "cmdUnload": ("Unload (.DAT) File", (75, 1290, 1600, 550)),
    "cmdExit": ("Exit", (75, 1845, 1600, 550)),
}
LABEL9 = (345, 2760, 1680, 330)

def shown_name(spoken, channel):
    """The name a channel-name box shows, from what a screen reader hears:
    "Channel k name" while empty, "Channel k name: <name>" once loaded."""
    label = "Channel %d name" % channel
    if spoken == label:
        return ""
    if not spoken.startswith(label + ": "):
        raise AssertionError("channel-name box %d speaks %r" % (channel, spoken))
    return spoken[len(label) + 2:]


MessageBox = namedtuple("MessageBox", "title text buttons")

# What the window shows at one moment: the status bar text, the seven names
# in the channel-name boxes, the notice below the buttons (None while it is
# hidden), the enabled state of each button by its name, the name of the
# button with the focus, and how much of the progress bar is filled (0 to 1).
View = namedtuple("View", "status names notice enabled focus progress")


def _px(twips):
    # Each edge is rounded by itself, ties to even, as the window places them.
    return round(twips / TWIPS_PER_PIXEL)


def place(container, rect):
    """(x, y, width, height) in pixels, relative to the central area below the
    menu bar, of a control at `rect` twips inside a container at `container`."""
    cx, cy = _px(container[0]), _px(container[1])
    left, top, width, height = rect
    x0, y0 = _px(left), _px(top)
    return cx + x0, cy + y0, _px(left + width) - x0, _px(top + height) - y0


class KestraneApp:
    def __init__(self, desktop, program, log_path=None, env=None):
        self.desktop = desktop
        self.log = open(log_path, "wb") if log_path else subprocess.DEVNULL
        self.proc = desktop.start([program], env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.window = None
        self.accessible = None

    # --- starting and ending -----------------------------------------------------

    def wait_shown(self, timeout=30):
        """Waits for the main window to be shown, active and settled in its
        size, and finds its controls in the accessibility tree."""
        self.window = self.desktop.wait_window(MAIN_TITLE, timeout)
        self.desktop.wait_active(MAIN_TITLE, timeout)
        # The window keeps a minimum outer size once the window manager has
        # framed it: wait until its size has stopped changing.
        last = [None]

        def settled():
            now = self.desktop.geometry(self.window)
            steady = now == last[0]
            last[0] = now
            if not steady:
                time.sleep(0.15)
            return steady
        self.desktop.wait_for(settled, timeout, "the window's size to settle")
        self.accessible = self.desktop.wait_for(
            lambda: self.desktop.accessibility.application(self.proc.pid), timeout,
            "the program on the accessibility bus")
        self._find_controls(timeout)
        return self

    def _find_controls(self, timeout):
        frame = self.desktop.wait_for(lambda: self.accessible.find("frame", MAIN_TITLE), timeout,
                                      "the main window in the accessibility tree")
        self.central = frame.find("filler")
        self.buttons = {name: self.central.find("push button", caption) for name, (caption, _) in BUTTONS.items()}
        probe = self.central.find("panel", "Test Probe")
        labels = [c for c in probe.children() if c.role == "label"]
        # The rows alternate: the fixed "Channel k" label, then its name box.
        self.fixed_labels, self.boxes = labels[0::2], labels[1::2]
        self.notice = next(c for c in self.central.children() if c.role == "label")
        self.progress = self.central.find("progress bar")
        self.status = frame.find("status bar").find("label")
        missing = [n for n, b in self.buttons.items() if b is None]
        if missing or len(self.boxes) != 7 or None in (self.progress, self.status):
            raise AssertionError("controls missing from the window: %s" % (missing or "a box, bar or label"))

    def running(self):
        return self.proc.poll() is None

    def wait_ended(self, timeout=20):
        """The exit status once the program has ended."""
        return self.proc.wait(timeout=timeout)

    def stop(self):
        self.desktop.stop(self.proc)
        if self.log is not subprocess.DEVNULL:
            self.log.close()

    # --- looking -------------------------------------------------------------------

    def view(self):
        names = [b.name for b in self.boxes]
        focus = [name for name, button in self.buttons.items() if "focused" in button.states]
        return View(status=self.status.name,
                    names=[shown_name(n, k + 1) for k, n in enumerate(names)],
                    notice=self.notice.name if "showing" in self.notice.states else None,
                    enabled={name: "enabled" in button.states for name, button in self.buttons.items()},
                    focus=focus[0] if focus else None,
                    progress=self.progress.value / self.progress.maximum)

    def wait_view(self, what, condition, timeout=30):
        """Waits until the window's view satisfies `condition`; returns it.
        On a timeout the last view is told."""
        last = [None]

        def check():
            last[0] = self.view()
            return last[0] if condition(last[0]) else None
        try:
            return self.desktop.wait_for(check, timeout, what)
        except TimeoutError as timeout_error:
            raise AssertionError("%s; the window showed %s" % (timeout_error, last[0])) from None

    def wait_loaded(self, names, timeout=30):
        """Waits for the end of a read: the seven names shown whole, the
        status "File Loaded" and the reading notice gone."""
        return self.wait_view("the names of the file and \"File Loaded\"",
                              lambda v: v.status == "File Loaded" and v.names == list(names) and v.notice is None,
                              timeout)

    def wait_unloaded(self, timeout=30):
        return self.wait_view("seven empty channel-name boxes and \"No File Loaded\"",
                              lambda v: v.status == "No File Loaded" and v.names == [""] * 7, timeout)

    def central_origin(self):
        x, y, _, _ = self.central.extents
        return x, y

    def layout_place(self, container, rect):
        """A control's place on the screen as the layout in twips gives it."""
        ox, oy = self.central_origin()
        x, y, width, height = place(container, rect)
        return ox + x, oy + y, width, height

    def button_place(self, name):
        return self.layout_place(FRAME1, BUTTONS[name][1])

    def box_pictures(self):
        """What the screen shows in each of the seven channel-name boxes."""
        return [self.desktop.capture(*box.extents) for box in self.boxes]

    def boxes_look_empty(self):
        """Nothing drawn on the background of any channel-name box."""
        return all(picture.is_plain() for picture in self.box_pictures())

    def notice_on_screen(self):
        """Whether anything is drawn where the notice below the buttons goes."""
        return not self.desktop.capture(*self.layout_place((0, 0), LABEL9)).is_plain()

    # --- message boxes ---------------------------------------------------------------

    def message_boxes(self):
        return self.accessible.children_of_role("alert message")

    def wait_message(self, title=None, timeout=20):
        """Waits for a message box (titled `title`, if given) to be the active
        window, and reads its title, text and buttons."""
        def shown():
            boxes = self.accessible.children_of_role("alert message", title)
            active = self.desktop.active_title()
            return next((b for b in reversed(boxes) if b.matches(None, active)), None)
        box = self.desktop.wait_for(shown, timeout, "a message box titled %r" % (title or "anything"))
        parts = box.children()
        text = "\n".join(p.name for p in parts if p.role == "label")
        buttons = [b.name for b in box.find_all("push button")]
        return MessageBox(box.name, text, buttons)

    def answer(self, key, title, timeout=20):
        """Presses `key` in the message box titled `title` and waits for it to go."""
        self.desktop.wait_active(title, timeout)
        self.desktop.key(key)
        self.desktop.wait_for(lambda: not [b for b in self.message_boxes() if b.name == title], timeout,
                              "the message box %r to close" % title)

    # --- file dialogs ---------------------------------------------------------------------

    def dialogs(self, title):
        return self.accessible.children_of_role("dialog", title)

    def wait_dialog(self, title, timeout=20):
        self.desktop.wait_for(lambda: self.dialogs(title), timeout, "the %r dialog" % title)
        return self.desktop.wait_active(title, timeout)

    def wait_no_dialog(self, title, timeout=20):
        self.desktop.wait_for(lambda: not self.dialogs(title), timeout, "the %r dialog to close" % title)

    def type_path(self, title, path):
        """Types a whole path over the file name of the active dialog and
        presses Return."""
        self.wait_dialog(title)
        self.desktop.key("ctrl+a")
        self.desktop.type(str(path))
        self.desktop.key("Return")

    def choose_file(self, title, path, timeout=20):
        self.type_path(title, path)
        self.wait_no_dialog(title, timeout)

    def cancel_dialog(self, title, timeout=20):
        self.wait_dialog(title)
        self.desktop.key("Escape")
        self.wait_no_dialog(title, timeout)

    def drag_dialog_aside(self, title, dx):
        """Drags a dialog by its title bar `dx` pixels sideways, as the
        operator does to see the window behind it."""
        window = self.desktop.wait_window(title)
        x, y, width, _ = self.desktop.geometry(window)
        _, _, top, _ = self.desktop.frame_extents(window)
        self.desktop.drag(x + width // 2, y - top // 2, x + width // 2 + dx, y - top // 2)
        self.desktop.wait_for(lambda: self.desktop.geometry(window)[0] != x, 20, "the dialog to move")

    # --- commands ----------------------------------------------------------------------------

    def click_button(self, name):
        x, y, width, height = self.button_place(name)
        self.desktop.click(x + width // 2, y + height // 2)

    def open_file_menu(self, timeout=20):
        """Alt+F, and waits until the menu has dropped down."""
        self.desktop.key("alt+f")
        menu = self.accessible.find("menu item", "File").find("popup menu")
        self.desktop.wait_for(lambda: "showing" in menu.states, timeout, "the File menu to drop down")

    def choose_from_file_menu(self, access_key):
        self.open_file_menu()
        self.desktop.key(access_key)

    def start_command(self, command, way):
        """Starts "open", "convert" or "unload" the way the operator chooses:
        its Ctrl shortcut, its File menu item by access key, its button, or
        the space bar on the button that has the focus."""
        key, menu_key, button = COMMANDS[command]
        if way == "space":
            self.desktop.key("space")
        elif way == "shortcut":
            self.desktop.key(key)
        elif way == "menu":
            self.choose_from_file_menu(menu_key)
        elif way == "button":
            self.click_button(button)
        else:
            raise ValueError(way)


# Each command's shortcut, access key in the File menu and button.
COMMANDS = {
    "open": ("ctrl+o", "o", "cmdConvirt"),
    "convert": ("ctrl+c", "c", "cmdSaveFile"),
    "unload": ("ctrl+u", "u", "cmdUnload"),
}
