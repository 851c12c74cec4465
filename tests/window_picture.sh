#!/usr/bin/env bash
# Takes the picture of the window in docs/: the window with seven long
# channel names, framed by openbox on a private Xvfb display.
#   tests/window_picture.sh build/tests/WindowPicture docs/window.png
# On a high-density screen, with the scale factor in the environment:
#   QT_SCALE_FACTOR=2 tests/window_picture.sh build/tests/WindowPicture docs/window-scale200.png
set -euo pipefail
program=$1
out=$2

display_file=$(mktemp)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$display_file")"

openbox --config-file /etc/xdg/openbox/rc.xml >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done

"$program" --reading >/dev/null 2>&1 &
pids+=($!)
window=$(timeout 10 xdotool search --sync --onlyvisible --pid "${pids[2]}" | head -n1)
sleep 0.5   # let the window manager finish framing and the window paint
import -window "$window" -frame "$out"
echo "wrote $out ($(identify -format '%wx%h' "$out"))"
