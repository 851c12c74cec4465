#!/bin/sh
# Installs the build into a scratch DESTDIR, under the configured prefix and
# under one full of characters a launcher could misread, and checks what a
# desktop needs: the program, the icons, the software centre's metadata, the manual
# page, the notices, and a desktop entry that validates.
#   check_install.sh CMAKE BUILD PREFIX
set -eu
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
for prefix in "$3" '/opt/Kes trane $HOME "q" `id` 50%'; do
  DESTDIR="$dest" "$1" --install "$2" --prefix "$prefix" >/dev/null
  root="$dest$prefix"
  test -x "$root/bin/kestrane"
  for file in icons/hicolor/32x32/apps/kestrane.png icons/hicolor/48x48/apps/kestrane.png \
      icons/hicolor/256x256/apps/kestrane.png metainfo/org.kestrane.Kestrane.metainfo.xml \
      man/man1/kestrane.1.gz doc/kestrane/copyright doc/kestrane/changelog.gz; do
    test -s "$root/share/$file"
  done
  test -z "$(desktop-file-validate "$root/share/applications/kestrane.desktop" 2>&1)"  # no error, warning or hint
done
echo "install: passed"
