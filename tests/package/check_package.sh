#!/bin/sh
# Installs the Debian package the way a user would, checks that the program
# starts and that its menu entry, metadata and package are sound, then removes
# it and checks that nothing of it is left. Changes the machine: needs root.
#   check_package.sh build/kestrane_VERSION_ARCH.deb
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb (one file; run make package first)" >&2; exit 2; }
deb=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== lintian (errors and hardening tags fail, the rest is listed)"
tags=$(lintian --display-info --fail-on error "$deb" 2>&1) || { echo "$tags"; fail "lintian found errors"; }
echo "$tags"
! echo "$tags" | grep -q ' hardening-' || fail "the program lacks some of Debian's hardening flags"

echo "== apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb"
# A failed check takes the package away again all the same.
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kestrane > /dev/null' EXIT
dpkg-query -W -f='${Package} ${Version}\nDepends: ${Depends}\n' kestrane
# Only the files: folders such as /usr/bin are shared with other packages.
files=$(dpkg -L kestrane | while read -r f; do [ -d "$f" ] || echo "$f"; done)

echo "== hardening of the installed program"
# Debian 12's C library start files carry no control-flow marking, so no
# program linked there can have it; every other check must pass.
hardening-check --nocfprotection /usr/bin/kestrane

echo "== menu entry and metadata"
entry=/usr/share/applications/kestrane.desktop
desktop-file-validate "$entry"
grep -qx 'Exec="/usr/bin/kestrane"' "$entry" || fail "the menu entry does not start /usr/bin/kestrane"
for size in 32 48 256; do
  [ -f /usr/share/icons/hicolor/${size}x$size/apps/kestrane.png ] || fail "no $size-pixel icon for the menu"
done
appstreamcli validate --no-net $(echo "$files" | grep '^/usr/share/metainfo/')
man --warnings -l /usr/share/man/man1/kestrane.1.gz > /dev/null

echo "== kestrane starts under Xvfb"
[ "$(command -v kestrane)" = /usr/bin/kestrane ] || fail "kestrane on the PATH is $(command -v kestrane)"
# The installed program on its own: no platform override from this shell.
env -u QT_QPA_PLATFORM xvfb-run -a sh -c '
  kestrane & pid=$!
  for i in $(seq 100); do
    if xwininfo -root -tree | grep -q "\"Data File Conversion Utility\""; then kill $pid; exit 0; fi
    kill -0 $pid 2> /dev/null || break
    sleep 0.3
  done
  kill $pid 2> /dev/null; exit 1' || fail "the window did not appear"
echo "the window appeared"

echo "== apt-get remove"
trap - EXIT
DEBIAN_FRONTEND=noninteractive apt-get remove -y kestrane
left=$(for f in $files /usr/share/doc/kestrane; do [ ! -e "$f" ] || echo "$f"; done)
[ -z "$left" ] || fail "left behind: $left"
! dpkg-query -W -f='${Status}\n' kestrane 2> /dev/null | grep -qv not-installed || fail "dpkg still knows kestrane"
echo "package-check passed"
