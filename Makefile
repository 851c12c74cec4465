# Two commands set everything up on a fresh Debian machine:
#   make run   install what is missing, build, start the program
#   make test  install what is missing, build, run the whole suite
# a quick loop while changing the program: the unit and widget tests alone
#   make check
# the Windows program, cross-built here and tested under Wine:
#   make windows       build-windows/kestrane.exe, its MSI and its zip; signed with
#                      SIGN_PKCS12=cert.p12 SIGN_PASSWORD_FILE=secret [SIGN_TIMESTAMP_URL=...]
#   make test-windows  the unit, widget and reader suites, the end-to-end road
#                      and the MSI round trip, all under Wine
# and two install the built program for the desktop:
#   make package   build/kestrane_VERSION_ARCH.deb, for `sudo apt install ./build/kestrane_*.deb`
#   make install   PREFIX=/usr/local by default; DESTDIR=... stages it elsewhere

BUILD ?= build
PREFIX ?= /usr/local
JOBS  ?= $(shell nproc)

# Everything the program, its tests and its benchmarks need, from Debian.
# "a|b": either will do, and a is installed when neither is there. The tests
# read workbooks back with LibreOffice: a desktop's own serves as well as the
# windowless one, which would otherwise replace it.
PACKAGES = cmake make g++ pkg-config dpkg-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
           qt6-base-dev libgl-dev libvulkan-dev \
           python3 python3-xlrd python3-xlwt 'libreoffice-calc-nogui|libreoffice-calc' \
           xvfb xauth openbox xdotool x11-utils imagemagick fonts-dejavu-core qt6-gtk-platformtheme \
           fonts-urw-base35 desktop-file-utils dbus-daemon at-spi2-core python3-dbus

# The Windows build: mingw-w64 and Wine; Qt for Windows is built from
# Debian's qt6-base source (dpkg-dev unpacks it, ninja builds it); GoogleTest
# from Debian's source; the icon packed by icoutils; wixl makes the MSI and
# msitools reads it back; a virtual desktop for the Wine tests, with xclip to
# paste a path into the system's dialogs; osslsigncode signs the exe and the
# MSI, and the package check makes its throwaway certificate with openssl.
WINDOWS_PACKAGES = g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
                   dpkg-dev ninja-build wine wine64 fonts-wine icoutils wixl msitools osslsigncode openssl \
                   xvfb xauth openbox xdotool xclip x11-utils imagemagick
WINDOWS_BUILD ?= build-windows
# A Qt for mingw-w64 already there may be named instead: QT_WINDOWS=PREFIX.
QT_WINDOWS_CACHE = $(shell windows/build-qt.sh --prefix 2>/dev/null)
QT_WINDOWS ?= $(QT_WINDOWS_CACHE)
# Ready: a named Qt with its qt-cmake, or the cache with its build finished.
QT_WINDOWS_READY = $(shell [ -x "$(QT_WINDOWS)/bin/qt-cmake" ] && \
  { [ "$(QT_WINDOWS)" != "$(QT_WINDOWS_CACHE)" ] || [ -f "$(QT_WINDOWS)/.kestrane-complete" ]; } && echo yes)

# libFuzzer needs clang and its runtime; only `make fuzz` installs them.
FUZZ_PACKAGES = clang-14 libclang-rt-14-dev
FUZZ_SECONDS ?= 120

# What building and checking the Debian package takes; only `make package`
# and `make package-check` install them.
PACKAGE_PACKAGES = dpkg-dev lintian devscripts appstream desktop-file-utils man-db xvfb xauth x11-utils

# memcheck, for `make valgrind` only.
VALGRIND_PACKAGES = valgrind

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Installs only the packages of $(1) that are missing; `apt-get update` runs once, first.
define install_missing
	@missing=$$(for p in $(1); do \
	    for alternative in $$(echo "$$p" | tr '|' ' '); do \
	      dpkg-query -W -f='$${Status}\n' $$alternative 2>/dev/null | grep -q '^install ok installed$$' && continue 2; \
	    done; \
	    echo "$${p%%|*}"; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

.PHONY: all deps configure build run test check install package package-check test-sanitize fuzz valgrind clean \
        windows-deps qt-windows windows test-windows

all: build

deps:
	$(call install_missing,$(PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRANE_HARDEN_REQUIRED=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program needs a display; say so plainly rather than let the toolkit fail.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: run the program under a virtual one with 'xvfb-run -a ./$(BUILD)/kestrane'."; \
	  exit 1; \
	fi
	./$(BUILD)/kestrane

# The Windows suite joins in where Qt for Windows is at hand; its hour-long
# build is never started from here.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@if [ -n "$(QT_WINDOWS_READY)" ]; then \
	  $(MAKE) --no-print-directory test-windows; \
	else \
	  echo "Windows suite not run: Qt for Windows is not built here; 'make qt-windows' builds it once (about 45 minutes)."; \
	fi

# The unit and widget tests alone, in well under a minute: the loop for a
# change to the program. One test: `cd build && ctest -R NAME`; one label:
# `ctest -L readers` (the labels are listed in tests/CMakeLists.txt).
check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 120 -L '^(unit|widget)$$'

windows-deps: deps
	$(call install_missing,$(WINDOWS_PACKAGES))

# Qt for Windows, once per machine, into $${XDG_CACHE_HOME:-~/.cache}/kestrane.
qt-windows: windows-deps
	@if [ -n "$(QT_WINDOWS_READY)" ]; then echo "Qt for Windows: $(QT_WINDOWS)"; else windows/build-qt.sh; fi

# The toolchain file is named again: the one Qt was built with may lie in
# another checkout. The icon is drawn by the Linux build's renderer, since a
# cross build cannot run what it builds.
windows: qt-windows configure
	cmake --build $(BUILD) --target kestrane_render_icon -j $(JOBS)
	"$(QT_WINDOWS)/bin/qt-cmake" -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/windows/mingw-w64-x86_64.cmake \
	  -DKESTRANE_RENDER_ICON=$(CURDIR)/$(BUILD)/Source/resources/kestrane_render_icon \
	  -DKESTRANE_SIGN_PKCS12="$(if $(SIGN_PKCS12),$(abspath $(SIGN_PKCS12)))" \
	  -DKESTRANE_SIGN_PASSWORD_FILE="$(if $(SIGN_PASSWORD_FILE),$(abspath $(SIGN_PASSWORD_FILE)))" \
	  -DKESTRANE_SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)"
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The window tests run on Windows' own platform, so under Wine on an X
# display: one virtual display for the run. The Wine server that the build's
# test discovery left knows no display, so it goes first. The end-to-end road
# and the installer's round trip bring desktops of their own.
test-windows: windows
	-WINEPREFIX="$(CURDIR)/$(WINDOWS_BUILD)/wine-prefix" wineserver -k 2>/dev/null
	cd $(WINDOWS_BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j $(JOBS) --timeout 600

# The program, its desktop entry and its icons under $(DESTDIR)$(PREFIX).
# Root rights are asked for only when that place is not writable as it is.
install: build
	@target="$(DESTDIR)$(PREFIX)"; probe="$$target"; \
	while [ ! -e "$$probe" ]; do probe=$$(dirname "$$probe"); done; \
	if [ -w "$$probe" ]; then as=; else as="$(SUDO)"; fi; \
	echo "Installing into $$target"; \
	$$as env DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# build/kestrane_VERSION_ARCH.deb: the program as `make install` lays it out
# under /usr, stripped, its Depends worked out from its libraries.
package: build
	$(call install_missing,$(PACKAGE_PACKAGES))
	cd $(BUILD) && rm -f kestrane_*.deb && cpack -G DEB

# Installs the package with apt (it changes the machine, so it is no part of
# `make test`), starts the program, validates its metadata, runs lintian,
# removes it again and checks nothing of it is left.
package-check: package
	$(SUDO) tests/package/check_package.sh $(BUILD)/kestrane_*.deb

# The whole suite built and run with AddressSanitizer and UndefinedBehaviorSanitizer
# (the reader suite's converter and the program the X11 tests start included).
# Leaks count, except those tests/lsan.supp lists inside third-party libraries.
SANITIZE_ASAN_OPTIONS = detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
test-sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ASAN_OPTIONS=$(SANITIZE_ASAN_OPTIONS) LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) --timeout 900

# Runs each libFuzzer target for FUZZ_SECONDS seconds, one after the other,
# from seed corpora of the shapes each must handle. A crash, a hang (over
# FUZZ_TIMEOUT seconds for one input) or a sanitizer report stops the run and
# leaves the input in build-fuzz/artifacts/. The writer's inputs need no more
# than 140000 bytes for every value of 4679 points to differ.
FUZZ_TIMEOUT ?= 10
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRANE_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus/dat_reader build-fuzz/corpus/workbook_writer build-fuzz/artifacts
	PYTHONDONTWRITEBYTECODE=1 python3 tests/fuzz/make_seeds.py build-fuzz/seeds/dat_reader build-fuzz/seeds/workbook_writer
	cp examples/probe-sample.dat build-fuzz/seeds/dat_reader/
	./build-fuzz/tests/dat_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=660000 \
	  -timeout=$(FUZZ_TIMEOUT) -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/dat_reader- \
	  build-fuzz/corpus/dat_reader build-fuzz/seeds/dat_reader
	./build-fuzz/tests/workbook_writer_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=140000 \
	  -timeout=$(FUZZ_TIMEOUT) -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/workbook_writer- \
	  build-fuzz/corpus/workbook_writer build-fuzz/seeds/workbook_writer

# A whole session in the real window (open, convert, unload, open, convert,
# exit) under memcheck: any invalid access, or memory definitely lost, fails.
# Memory still reachable at exit (the toolkit's own caches) is not a leak.
valgrind: build
	$(call install_missing,$(VALGRIND_PACKAGES))
	valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
	  --track-origins=yes --num-callers=40 --error-exitcode=99 ./$(BUILD)/tests/WindowSession

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz $(WINDOWS_BUILD)
