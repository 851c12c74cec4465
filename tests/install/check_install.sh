#!/bin/sh
# Installs the build into a scratch DESTDIR, under the configured prefix and
# under one full of characters a launcher could misread, and checks what a
# desktop needs: the program, the icons, and a desktop entry that validates.
#   check_install.sh CMAKE BUILD PREFIX
set -eu
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
for prefix in "$3" '/opt/Kes trane $HOME "q" `id` 50%'; do
  DESTDIR="$dest" "$1" --install "$2" --prefix "$prefix" >/dev/null
  root="$dest$prefix"
  test -x "$root/bin/kestrane"
  for size in 32 48 256; do
    test -s "$root/share/icons/hicolor/${size}x$size/apps/kestrane.png"
  done
  desktop-file-validate "$root/share/applications/kestrane.desktop"
  # desktop-file-validate prints warnings and hints without failing.
  test -z "$(desktop-file-validate "$root/share/applications/kestrane.desktop")"
done
echo "install: passed"
