#!/bin/sh
# msi_roundtrip.sh SIGN_SCRIPT kestrane-VERSION-x64.msi VERSION PUBLISHER: the build's signing step (the one script
# that signs the exe and the MSI) with a throwaway certificate made here, the MSI's signature verified against it
# (SHA-256); then the signed MSI installed as a lab's IT would (msiexec /i /qn), the program, its Start menu entry and
# Apps entry checked, the program started, uninstalled (/x /qn) and no file, folder, shortcut or registry key left. In
# the build's own Wine prefix (KESTRANE_WINEPREFIX), alone, on its own display.
set -eu
# Wine draws every window of a prefix on the display its desktop process found: one display for the whole trip.
if [ -z "${KESTRANE_ROUNDTRIP_DISPLAY:-}" ]; then
  WINEPREFIX="$KESTRANE_WINEPREFIX" wineserver --wait 2> /dev/null || true
  exec env KESTRANE_ROUNDTRIP_DISPLAY=1 xvfb-run -a sh "$0" "$@"
fi
sign=$1 version=$3 publisher=$4 tests=$(cd "$(dirname "$0")/.." && pwd)
wine_run="$tests/../windows/wine-run.sh"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" # no menu entries or icons for the Linux desktop
drive_c="$KESTRANE_WINEPREFIX/drive_c"
work=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }
msi="$work/$(basename "$2")"
uninstall() { "$wine_run" msiexec /x "$msi" /qn; }
# A failed check uninstalls all the same, so that the next run starts clean, as this one does.
trap 'uninstall > /dev/null 2>&1 || true; rm -rf "$work"' EXIT
cp "$2" "$msi"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Kestrane throwaway publisher" -addext extendedKeyUsage=codeSigning 2> /dev/null
head -c 12 /dev/urandom | base64 > "$work/secret"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" -passout "file:$work/secret"
sh "$sign" "$msi" "$work/cert.p12" "$work/secret"
verified=$(osslsigncode verify -CAfile "$work/cert.pem" -in "$msi" 2>&1) || fail "$msi: $verified"
printf '%s\n' "$verified" | grep -q "Message digest algorithm *: SHA256" || fail "the MSI is not signed with SHA-256"

product=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
[ -n "$product" ] || fail "no ProductCode in $msi"

# Where an installer writes: the files and folders (Wine's temporary ones aside), every registry entry naming us.
machine_state() {
  (cd "$drive_c" && find "Program Files" ProgramData users windows/Installer -path '*/Temp' -prune -o -print | sort)
  for hive in 'HKLM\Software' 'HKCU\Software'; do
    "$wine_run" reg export "$hive" "Z:$work/hive.reg" /y > /dev/null
    iconv -f UTF-16LE -t UTF-8 "$work/hive.reg" | tr -d '\r' | grep -i -e kestrane -e "$product" || true
  done
}
uninstall > /dev/null 2>&1 || true
machine_state > "$work/before"

"$wine_run" msiexec /i "$msi" /qn || fail "msiexec /i failed with status $?"
[ -f "$drive_c/Program Files/Kestrane/NOTICES.txt" ] || fail "no notices beside kestrane.exe"
# The all users' Start menu on Windows; Wine puts a machine's shortcuts in the user's own.
shortcut=$(find "$drive_c/ProgramData" "$drive_c/users" -path '*/Start Menu/Programs/Kestrane.lnk')
[ -n "$shortcut" ] || fail "no Start menu entry"
strings -el "$shortcut" | grep -qiF "C:\\windows\\Installer\\$product\\kestrane.ico" ||
  fail "the Start menu entry has no icon"
strings -el "$shortcut" | grep -qiE '^C:\\users\\[^\\]+\\Documents\\?$' ||
  fail "the Start menu entry does not start in Documents"
listing=$("$wine_run" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" | tr -d '\r')
for field in "DisplayName Kestrane" "DisplayVersion $version" "Publisher $publisher"; do
  printf '%s\n' "$listing" | grep -Eq "^ +${field%% *} +REG_SZ +${field#* }\$" ||
    fail "Apps does not show $field: $listing"
done

# What the shortcut names, started itself: Wine would start it from a desktop process that may have no display.
target='C:\Program Files\Kestrane\kestrane.exe'
strings "$shortcut" | grep -qixF "$target" || fail "the Start menu entry does not start $target"
sh "$tests/window_appears.sh" "$wine_run" "$target" || fail "the window of the installed program did not appear"

uninstall || fail "msiexec /x failed with status $?"
machine_state > "$work/after"
diff "$work/before" "$work/after" > "$work/left" || fail "left behind:$(sed -n 's/^> / /p' "$work/left")"
echo "msi_roundtrip passed"
