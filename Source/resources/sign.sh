#!/bin/sh
# sign.sh FILE PKCS12 PASSWORD_FILE [TIMESTAMP_URL]: signs FILE, kestrane.exe or the MSI, in place with Authenticode
# (SHA-256), with the certificate and key the publisher keeps in PKCS12 and the password on the first line of
# PASSWORD_FILE; timestamped by the RFC 3161 server at TIMESTAMP_URL where one is named, so that the signature
# outlives the certificate.
set -eu
[ $# -ge 3 ] && [ $# -le 4 ] || { echo "usage: $0 FILE PKCS12 PASSWORD_FILE [TIMESTAMP_URL]" >&2; exit 2; }
file=$1
set -- sign -h sha256 -n Kestrane -pkcs12 "$2" -readpass "$3" ${4:+-ts "$4"}
rm -f "$file.signed"
osslsigncode "$@" -in "$file" -out "$file.signed" > /dev/null
mv "$file.signed" "$file"
