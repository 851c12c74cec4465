#!/bin/sh
# check_package.sh build/kestrane_VERSION_ARCH.deb: installs the package as a user would, checks it, starts the
# program, removes it and checks that nothing of it is left. Changes the machine: needs root.
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb (one file; run make package first)" >&2; exit 2; }
deb=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

echo "== lintian (errors and hardening tags fail, the rest is listed)"
tags=$(lintian --display-info --fail-on error "$deb" 2>&1) || { echo "$tags"; fail "lintian found errors"; }
echo "$tags"
! echo "$tags" | grep -q ' hardening-' || fail "the program lacks some of Debian's hardening flags"

echo "== apt-get install"
apt-get install -y --no-install-recommends "$deb"
trap 'apt-get remove -y -qq kestrane > /dev/null' EXIT
dpkg-query -W -f='${Package} ${Version}\nDepends: ${Depends}\n' kestrane
files=$(dpkg -L kestrane | while read -r f; do [ -d "$f" ] || echo "$f"; done) # folders such as /usr/bin are shared

echo "== hardening, menu entry and metadata"
hardening-check --nocfprotection /usr/bin/kestrane # Debian 12's C start files carry no control-flow marking
entry=/usr/share/applications/kestrane.desktop
desktop-file-validate "$entry"
grep -qx 'Exec="/usr/bin/kestrane"' "$entry" || fail "the menu entry does not start /usr/bin/kestrane"
for size in 32 48 256; do
  [ -f /usr/share/icons/hicolor/${size}x$size/apps/kestrane.png ] || fail "no $size-pixel icon for the menu"
done
appstreamcli validate --no-net $(echo "$files" | grep '^/usr/share/metainfo/')
man --warnings -l /usr/share/man/man1/kestrane.1.gz > /dev/null

echo "== kestrane starts under Xvfb, with no platform override from this shell"
[ "$(command -v kestrane)" = /usr/bin/kestrane ] || fail "kestrane on the PATH is $(command -v kestrane)"
env -u QT_QPA_PLATFORM xvfb-run -a sh "$(dirname "$0")/../window_appears.sh" kestrane || fail "the window did not appear"

echo "== apt-get remove"
trap - EXIT
apt-get remove -y kestrane
left=$(for f in $files /usr/share/doc/kestrane; do [ ! -e "$f" ] || echo "$f"; done)
[ -z "$left" ] || fail "left behind: $left"
! dpkg-query -W -f='${Status}\n' kestrane 2> /dev/null | grep -qv not-installed || fail "dpkg still knows kestrane"
echo "package-check passed"
