#!/bin/sh
# Makes the README's pictures of the window -- docs/window.png,
# docs/window-scale150.png and docs/window-scale200.png -- as an operator sees
# it once examples/probe-sample.dat has been opened: at scale factors 1, 1.5
# and 2, on a virtual desktop (Xvfb and openbox, GNOME's GTK theme), the log
# opened with Ctrl+O and its path typed into the open dialog, the window taken
# with its frame. Run it again after changing the window:
#   docs/make_pictures.sh [PROGRAM]        (default: build/kestrane)
# Needs xvfb, xauth, openbox, xdotool, x11-utils, imagemagick and qt6-gtk-platformtheme,
# which `make deps` installs.
set -eu
cd "$(dirname "$0")/.."
[ -n "${KESTRANE_PICTURE_DESKTOP:-}" ] ||
  exec env KESTRANE_PICTURE_DESKTOP=1 xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$0" "$@"

program=$(realpath "${1:-build/kestrane}")
log=$(realpath examples/probe-sample.dat)
settings=$(mktemp -d)  # the file dialog's state, from its defaults, not the user's
openbox --sm-disable > /dev/null 2>&1 &
wm=$!
trap 'kill $wm; rm -rf "$settings"' EXIT
until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; do sleep 0.1; done

for scale in 1 1.5 2; do
  XDG_CONFIG_HOME=$settings QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=gtk3 QT_SCALE_FACTOR=$scale \
    "$program" > /dev/null 2>&1 &
  pid=$!
  window=$(xdotool search --sync --onlyvisible --name '^Data File Conversion Utility$')
  until xprop -id "$window" _NET_FRAME_EXTENTS | grep -q =; do sleep 0.1; done  # framed by openbox
  xdotool windowactivate --sync "$window" key ctrl+o
  xdotool search --sync --onlyvisible --name '^Open$' > /dev/null
  xdotool type --delay 20 "$log"
  xdotool key Return
  while xdotool search --onlyvisible --name '^Open$' > /dev/null; do sleep 0.1; done
  sleep 1  # the read of 360 points and the repaint after the dialog
  case $scale in 1) name=window ;; 1.5) name=window-scale150 ;; 2) name=window-scale200 ;; esac
  import -frame -window "$window" -strip "docs/$name.png"
  kill "$pid" && wait "$pid"  # SIGTERM ends the program as the system would
  echo "docs/$name.png"
done
