#!/bin/sh
# window_appears.sh COMMAND...: starts COMMAND, succeeds as soon as Kestrane's window shows on the display, ends it.
"$@" & pid=$!
for i in $(seq 100); do
  if xwininfo -root -tree | grep -q '"Data File Conversion Utility"'; then kill $pid; wait $pid 2> /dev/null; exit 0; fi
  kill -0 $pid 2> /dev/null || break
  sleep 0.3
done
kill $pid 2> /dev/null
exit 1
