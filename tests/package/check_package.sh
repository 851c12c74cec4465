#!/bin/sh
# check_package.sh build/kestrane_VERSION_ARCH.deb: installs the package as a user would, checks it, starts the
# program, removes it and checks that nothing of it is left. Changes the machine: needs root. What `cmake --install`
# lays out, as the package does (the icons, a desktop entry that validates), install_into_destdir checks.
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb (one file; run make package first)" >&2; exit 2; }
deb=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

lintian --display-info --fail-on error "$deb" || fail "lintian found errors"
apt-get install -y --no-install-recommends "$deb"
trap 'apt-get remove -y -qq kestrane > /dev/null' EXIT
files=$(dpkg -L kestrane | while read -r f; do [ -d "$f" ] || echo "$f"; done) # folders such as /usr/bin are shared

hardening-check --nocfprotection /usr/bin/kestrane # Debian 12's C start files carry no control-flow marking
grep -qx 'Exec="/usr/bin/kestrane"' /usr/share/applications/kestrane.desktop ||
  fail "the menu entry does not start /usr/bin/kestrane"
appstreamcli validate --no-net $(echo "$files" | grep '^/usr/share/metainfo/')
man --warnings -l /usr/share/man/man1/kestrane.1.gz > /dev/null
# kestrane starts under Xvfb, with no platform override from this shell
env -u QT_QPA_PLATFORM xvfb-run -a sh "$(dirname "$0")/../window_appears.sh" /usr/bin/kestrane ||
  fail "the window did not appear"

trap - EXIT
apt-get remove -y kestrane
left=$(for f in $files /usr/share/doc/kestrane; do [ ! -e "$f" ] || echo "$f"; done)
[ -z "$left" ] || fail "left behind: $left"
! dpkg-query -W -f='${Status}\n' kestrane 2> /dev/null | grep -qv not-installed || fail "dpkg still knows kestrane"
echo "package-check passed"
