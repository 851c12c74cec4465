#!/bin/sh
# check_install.sh CMAKE BUILD PREFIX: installs into a scratch DESTDIR, under PREFIX and under a prefix a launcher
# could misread, and checks what a desktop needs there, with a desktop entry that validates without a word.
set -eu
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
for prefix in "$3" '/opt/Kes trane $HOME "q" `id` 50%'; do
  DESTDIR="$dest" "$1" --install "$2" --prefix "$prefix" >/dev/null
  share="$dest$prefix/share"
  test -x "$dest$prefix/bin/kestrane"
  for file in icons/hicolor/32x32/apps/kestrane.png icons/hicolor/48x48/apps/kestrane.png \
      icons/hicolor/256x256/apps/kestrane.png metainfo/org.kestrane.Kestrane.metainfo.xml \
      man/man1/kestrane.1.gz doc/kestrane/copyright doc/kestrane/changelog.gz; do
    test -s "$share/$file"
  done
  test -z "$(desktop-file-validate "$share/applications/kestrane.desktop" 2>&1)"
done
echo "install: passed"
