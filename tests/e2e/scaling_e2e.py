#!/usr/bin/python3
"""The window at larger scale factors (QT_SCALE_FACTOR 1.5 and 2), as on a
high-density screen: it and its dialogs fit on the screen, every control stays inside its
frame, and a file opens as at scale 1. The screenshots are left for the eye:
no caption may be clipped."""

import sys

sys.dont_write_bytecode = True  # nothing left in the source tree

import scenarios  # noqa: E402  (puts the readers' folder on the path)
import make_dat  # noqa: E402
from steps import open_file, write_dat  # noqa: E402


def inside(inner, outer):
    ix, iy, iw, ih = inner
    ox, oy, ow, oh = outer
    return ox <= ix and oy <= iy and ix + iw <= ox + ow and iy + ih <= oy + oh


def at_scale(factor):
    def scenario(context):
        app = context.start(env={"QT_SCALE_FACTOR": str(factor)})
        x, y, width, height = context.desktop.geometry(app.window)
        left, right, top, bottom = context.desktop.frame_extents(app.window)
        screen_width, screen_height = context.desktop.size
        assert x - left >= 0 and y - top >= 0 and x + width + right <= screen_width \
            and y + height + bottom <= screen_height, "the window does not fit on the screen"
        # 6495 twips of client width are 433 pixels at scale 1.
        assert width >= round(433 * factor) - 1, "client area %d wide at scale %s" % (width, factor)

        dat = write_dat(context, "scaled.dat", make_dat.ramp_points(10, seed=1), 5.0, make_dat.ODD_NAMES)
        open_file(app, dat)
        window = (x, y, width, height)
        for control in list(app.buttons.values()) + app.boxes + app.fixed_labels + [app.progress, app.status]:
            # The accessibility tree tells places in unscaled pixels.
            extents = tuple(round(v * factor) for v in control.extents)
            assert inside(extents, window), "%r at %s, outside the window %s" % (control, extents, window)
        context.shot("loaded")

        app.start_command("convert", "shortcut")
        dialog = app.desktop.wait_window("Save As")
        app.wait_dialog("Save As")
        dx, dy, dw, dh = context.desktop.geometry(dialog)
        assert dx >= 0 and dy >= 0 and dx + dw <= screen_width and dy + dh <= screen_height, \
            "the save dialog does not fit on the screen"
        context.shot("save-dialog")
        app.cancel_dialog("Save As")
        app.wait_unloaded()
        app.start_command("convert", "shortcut")
        box = app.wait_message("Kestrane")
        assert box.text == "No (.DAT) File Loaded", box
        context.shot("message")
        app.answer("Return", "Kestrane")
    scenario.__name__ = "scale_%s" % str(factor).replace(".", "_")
    return scenario


if __name__ == "__main__":
    # A high-density screen: 960 by 600 pixels of room at scale 2.
    sys.exit(scenarios.run([at_scale(1.5), at_scale(2)], sys.argv, screen=(1920, 1200)))
