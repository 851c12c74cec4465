#!/bin/sh
# Builds Qt for Windows (static, x86-64, mingw-w64) from Debian's own qt6-base
# source, the host Qt's version, so that the host's moc, rcc and uic fit it.
# Once per machine: the result lands in ${XDG_CACHE_HOME:-~/.cache}/kestrane/
# qt-VERSION-mingw64 (the source and the build log beside it), and
# later calls return at once. About 45 minutes on two cores.
#
#   windows/build-qt.sh            build (or find) it; prints the prefix last
#   windows/build-qt.sh --prefix   print where it goes, build nothing
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/kestrane"
version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null | sed 's/[+~-].*//')
[ -n "$version" ] || { echo "build-qt: the host Qt (qt6-base-dev) is not installed" >&2; exit 1; }
prefix="$cache/qt-$version-mingw64"

if [ "${1:-}" = "--prefix" ]; then echo "$prefix"; exit 0; fi
# The marker is written last: a build cut short is started again.
if [ -f "$prefix/.kestrane-complete" ]; then echo "$prefix"; exit 0; fi

step() { echo "build-qt: $*" >&2; }
work="$cache/qt-build"
mkdir -p "$work"
log="$work/build.log"
: > "$log"

# apt in a folder of our own: the system's sources stay as they are.
step "1/5 fetching the qt6-base $version source from Debian"
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
# The source comes from wherever this machine's apt takes its packages: each
# of its "deb" sources, one-line or deb822, is read here as "deb-src".
mkdir -p "$apt_dir/sources.list.d"
rm -f "$apt_dir/sources.list.d"/*
: > "$apt_dir/sources.list"
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  if [ -f "$list" ]; then sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" >> "$apt_dir/sources.list"; fi
done
for sources in /etc/apt/sources.list.d/*.sources; do
  if [ -f "$sources" ]; then sed 's/^Types:.*$/Types: deb-src/' "$sources" > "$apt_dir/sources.list.d/${sources##*/}"; fi
done
apt_options="-o Dir::Etc::SourceList=$apt_dir/sources.list -o Dir::Etc::SourceParts=$apt_dir/sources.list.d
             -o Dir::State::Lists=$apt_dir/lists -o Dir::Cache=$apt_dir/cache -o APT::Sandbox::User=root"
if ! ls "$work"/qt6-base_*.dsc >/dev/null 2>&1; then
  # shellcheck disable=SC2086
  apt-get $apt_options update >>"$log" 2>&1 || { tail -20 "$log" >&2; exit 1; }
  # shellcheck disable=SC2086
  (cd "$work" && apt-get $apt_options source --download-only "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)") >>"$log" 2>&1 \
    || { tail -20 "$log" >&2; exit 1; }
fi

step "2/5 unpacking it"
source_dir="$work/source"
if [ ! -d "$source_dir" ]; then
  rm -rf "$source_dir.partial"
  dpkg-source --no-check -x "$work"/qt6-base_*.dsc "$source_dir.partial" >>"$log" 2>&1
  mv "$source_dir.partial" "$source_dir"
fi

# Only what the program needs: widgets, the Windows platform and style,
# Qt Test. The bundled third-party libraries, since mingw has none of them;
# tablet events off, since Debian's source leaves out their header.
step "3/5 configuring (log: $log)"
build_dir="$work/build"
rm -rf "$build_dir"
mkdir -p "$build_dir"
(cd "$build_dir" && "$source_dir/configure" \
   -prefix "$prefix" \
   -xplatform win32-g++ -qt-host-path /usr \
   -static -release -no-opengl -no-dbus \
   -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
   -no-feature-printsupport -no-feature-tabletevent \
   -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz \
   -nomake examples -nomake tests \
   -- -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >>"$log" 2>&1 \
  || { tail -40 "$log" >&2; exit 1; }

# Ninja prints one [N/TOTAL] line per step; every hundredth is shown.
step "4/5 building (about 1,100 steps)"
cmake --build "$build_dir" --parallel "$(nproc)" 2>&1 | tee -a "$log" | while IFS= read -r line; do
  case "$line" in
    "["[0-9]*"/"[0-9]*"]"*)
      done=${line%%/*}; done=${done#[}; total=${line#*/}; total=${total%%" "*}; total=${total%"]"}
      [ $((done % 100)) -eq 0 ] || [ "$done" -eq "$total" ] && echo "build-qt:   step $done of $total" >&2 ;;
  esac
done
[ -f "$build_dir/lib/libQt6Widgets.a" ] || { tail -40 "$log" >&2; exit 1; }

step "5/5 installing into $prefix"
rm -rf "$prefix"
cmake --install "$build_dir" >>"$log" 2>&1
date -u > "$prefix/.kestrane-complete"
rm -rf "$build_dir"
echo "$prefix"
