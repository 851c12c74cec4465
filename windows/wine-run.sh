#!/bin/sh
# Runs a Windows program under Wine for the tests: in a Wine prefix of the
# build's own (never the user's ~/.wine), quietly, waiting for the first
# start's prefix to be made. CTest calls it as the cross-compiling emulator.
set -eu
: "${KESTRANE_WINEPREFIX:?set KESTRANE_WINEPREFIX to the build's Wine prefix}"
export WINEPREFIX="$KESTRANE_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" # no Mono or Gecko installer at the first start
# Tests start in parallel: one makes the prefix, or starts its server, while
# the others wait for it.
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
  # Windows keeps its dialog font (Tahoma) in C:\Windows\Fonts; Wine's own
  # copy of it is not found where Wine keeps it, so it goes there too.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # Windows smooths its fonts (ClearType) from the start; a new prefix does not.
  for value in 'FontSmoothing /t REG_SZ /d 2' 'FontSmoothingType /t REG_DWORD /d 2' \
               'FontSmoothingOrientation /t REG_DWORD /d 1'; do
    # shellcheck disable=SC2086
    wine reg add 'HKCU\Control Panel\Desktop' /v $value /f >/dev/null 2>&1
  done
  wineserver --wait
fi
# The prefix's server and its services are started apart, their output on
# nothing, and kept a minute past the last program: started by a test, they
# would hold that test's output open, and so keep it running in CTest's eyes,
# for as long as they live.
if wineserver -p60 </dev/null >/dev/null 2>&1; then
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
flock -u 9
exec 9>&-
exec wine "$@"
