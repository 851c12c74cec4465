#!/bin/sh
# sign_check.sh SIGN_SCRIPT kestrane.exe kestrane-VERSION-x64.msi VERSION PUBLISHER: the build's signing step with a
# throwaway certificate made here: the exe and the MSI signed, both signatures verified against that certificate
# (SHA-256), then the signed MSI's round trip, installed and uninstalled under Wine.
set -eu
[ $# -eq 5 ] && [ -f "$2" ] && [ -f "$3" ] ||
  { echo "usage: $0 SIGN_SCRIPT kestrane.exe MSI VERSION PUBLISHER" >&2; exit 2; }
sign=$1 version=$4 publisher=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/kestrane.exe"
cp "$3" "$work/$(basename "$3")"
msi="$work/$(basename "$3")"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Kestrane throwaway publisher" -addext extendedKeyUsage=codeSigning 2> /dev/null
head -c 12 /dev/urandom | base64 > "$work/secret"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" -passout "file:$work/secret"

for file in "$work/kestrane.exe" "$msi"; do
  ! osslsigncode verify -CAfile "$work/cert.pem" -in "$file" > /dev/null 2>&1 ||
    fail "$(basename "$file") verifies before it is signed"
  sh "$sign" "$file" "$work/cert.p12" "$work/secret"
  verified=$(osslsigncode verify -CAfile "$work/cert.pem" -in "$file" 2>&1) || fail "$file: $verified"
  printf '%s\n' "$verified" | grep -q "Message digest algorithm *: SHA256" || fail "$file is not signed with SHA-256"
  echo "signed and verified: $(basename "$file")"
done
sh "$(dirname "$0")/msi_roundtrip.sh" "$msi" "$version" "$publisher"
