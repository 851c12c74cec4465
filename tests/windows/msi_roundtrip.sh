#!/bin/sh
# Deploys the installer as a lab's IT would (msiexec /i /qn), checks the
# program, its Start menu entry and its entry in "Apps", starts the installed
# program on a virtual display, then uninstalls it (msiexec /x /qn) and checks
# that nothing of it is left: no file, folder, shortcut or registry key.
# Runs in a Wine prefix of the build's own (KESTRANE_WINEPREFIX), best one
# that no other test uses at the same time, on a virtual display of its own.
#   msi_roundtrip.sh kestrane-VERSION-x64.msi VERSION PUBLISHER
set -eu
[ $# -eq 3 ] && [ -f "$1" ] || { echo "usage: $0 kestrane-VERSION-x64.msi VERSION PUBLISHER" >&2; exit 2; }
: "${KESTRANE_WINEPREFIX:?set KESTRANE_WINEPREFIX to the build's Wine prefix}"
# Wine's desktop process draws every window of the prefix on the display it
# was started with: the whole round trip runs on one, with a desktop process
# started there.
if [ -z "${KESTRANE_ROUNDTRIP_DISPLAY:-}" ]; then
  WINEPREFIX="$KESTRANE_WINEPREFIX" wineserver --wait 2> /dev/null || true
  exec env KESTRANE_ROUNDTRIP_DISPLAY=1 xvfb-run -a sh "$0" "$@"
fi
msi=$(realpath "$1") version=$2 publisher=$3
wine_run="$(cd "$(dirname "$0")/../../windows" && pwd)/wine-run.sh"
# No menu entries or icons for the Linux desktop from a test's install.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
drive_c="$KESTRANE_WINEPREFIX/drive_c"
work=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }

product=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
[ -n "$product" ] || fail "no ProductCode in $msi"
entry="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
installed="$drive_c/Program Files/Kestrane"

# What the machine holds where an installer writes: the files and folders
# (Wine's temporary files aside), and every registry entry naming Kestrane.
machine_state() {
  (cd "$drive_c" && find "Program Files" ProgramData users windows/Installer -path '*/Temp' -prune -o -print | sort)
  for hive in 'HKLM\Software' 'HKCU\Software'; do
    "$wine_run" reg export "$hive" "Z:$work/hive.reg" /y > /dev/null
    iconv -f UTF-16LE -t UTF-8 "$work/hive.reg" | tr -d '\r' | grep -i -e kestrane -e "$product" || true
  done
}

# A failed check uninstalls all the same, so that the next run starts clean.
trap '"$wine_run" msiexec /x "$msi" /qn > /dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$wine_run" msiexec /x "$msi" /qn > /dev/null 2>&1 || true # what a run cut short left
machine_state > "$work/before"

echo "== msiexec /i /qn"
"$wine_run" msiexec /i "$msi" /qn || fail "msiexec /i failed with status $?"
[ -f "$installed/kestrane.exe" ] || fail "no kestrane.exe in Program Files"
[ -f "$installed/NOTICES.txt" ] || fail "no notices beside kestrane.exe"
# The all users' Start menu on Windows; Wine puts a machine's shortcuts in
# the user's own.
shortcut=$(find "$drive_c/ProgramData" "$drive_c/users" -path '*/Start Menu/Programs/Kestrane.lnk')
[ -n "$shortcut" ] || fail "no Start menu entry"
strings -el "$shortcut" | grep -qiF "C:\\windows\\Installer\\$product\\kestrane.ico" || fail "the Start menu entry has no icon"
listing=$("$wine_run" reg query "$entry") || fail "no entry in Apps ($entry)"
listing=$(printf '%s\n' "$listing" | tr -d '\r')
for field in "DisplayName Kestrane" "DisplayVersion $version" "Publisher $publisher"; do
  printf '%s\n' "$listing" | grep -Eq "^ +${field%% *} +REG_SZ +${field#* }\$" || fail "Apps does not show $field: $listing"
done

echo "== the installed program starts"
# The program the Start menu entry names, until its window shows. (Wine
# starts a shortcut's program from its desktop process, which may have no
# display: the program is started itself.)
target='C:\Program Files\Kestrane\kestrane.exe'
strings "$shortcut" | grep -qixF "$target" || fail "the Start menu entry does not start $target"
"$wine_run" "$target" & started=$!
shown=
for i in $(seq 100); do
  if xwininfo -root -tree | grep -q '"Data File Conversion Utility"'; then shown=yes; break; fi
  kill -0 $started 2> /dev/null || break
  sleep 0.3
done
kill $started 2> /dev/null && { wait $started; } 2> /dev/null || true
[ -n "$shown" ] || fail "the window of the installed program did not appear"
echo "its window appeared"

echo "== msiexec /x /qn"
"$wine_run" msiexec /x "$msi" /qn || fail "msiexec /x failed with status $?"
machine_state > "$work/after"
diff "$work/before" "$work/after" > "$work/left" || fail "left behind:$(sed -n 's/^> / /p' "$work/left")"
echo "msi_roundtrip passed"
