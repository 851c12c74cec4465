#!/bin/sh
# check_exe.sh kestrane.exe VERSION PUBLISHER: what Windows reads from the exe before it runs a line of it.
set -eu
exe=$1 version=$2 publisher=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
headers=$(x86_64-w64-mingw32-objdump -p "$exe")

# No DLL beside it: every import comes with Windows 10 and 11 (api-ms-win-*: API sets the loader resolves).
windows_own=" advapi32 authz comctl32 comdlg32 d3d9 d3d11 d3d12 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt
  mpr netapi32 ole32 oleaut32 setupapi shell32 shcore shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32
  api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0 api-ms-win-core-winrt-string-l1-1-0 "
imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "no imports read from $exe"
for dll in $imports; do
  case "$windows_own" in *[[:space:]]"${dll%.dll}"[[:space:]]*) ;; *) fail "it imports $dll, which Windows does not have" ;; esac
done

# A file parser's first protections: high-entropy ASLR and no execution of data.
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  echo "$headers" | grep -qw "$flag" || fail "it is linked without $flag"
done

# The icon group Explorer reads, at each size (icotool reads only from a file).
icon=$(mktemp --suffix=.ico)
trap 'rm -f "$icon"' EXIT
wrestool --extract --type=group_icon --name=IDI_ICON1 "$exe" > "$icon"
sizes=$(icotool --list "$icon" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n)
[ "$(echo $sizes)" = "16 32 48 256" ] || fail "its icon holds the sizes '$(echo $sizes)', not 16 32 48 256"

# The version information of its Properties (UTF-16 with the NULs dropped: a name runs into its value).
info=$(wrestool --extract --raw --type=version "$exe" | tr -d '\000')
for field in "ProductNameKestrane" "ProductVersion$version" "FileVersion$version" "CompanyName$publisher" \
             "LegalCopyrightCopyright " "OriginalFilenamekestrane.exe"; do
  case "$info" in *"$field"*) ;; *) fail "its version information lacks '$field'" ;; esac
done
echo "check_exe passed"
