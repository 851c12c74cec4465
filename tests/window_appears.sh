#!/bin/sh
# window_appears.sh COMMAND...: starts COMMAND, succeeds as soon as Kestrane's window shows on the display, ends it.
"$@" & pid=$!
for i in $(seq 100); do
  xwininfo -root -tree | grep -q '"Data File Conversion Utility"' && shown=yes && break
  kill -0 $pid 2> /dev/null && sleep 0.3 || break
done
kill $pid 2> /dev/null && wait $pid 2> /dev/null
[ "${shown:-}" = yes ]
