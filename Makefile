# Two commands set everything up on a fresh Debian machine:
#   make run   install what is missing, build, start the program
#   make test  install what is missing, build, run the whole suite

BUILD ?= build
JOBS  ?= $(shell nproc)

# Everything the program, its tests and its benchmarks need, from Debian.
PACKAGES = cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
           qt6-base-dev libgl-dev libvulkan-dev \
           python3 python3-xlrd python3-xlwt libreoffice-calc-nogui \
           xvfb xauth openbox xdotool x11-utils imagemagick fonts-dejavu-core \
           fonts-urw-base35

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build run test clean

all: build

# Installs only the packages that are missing; `apt-get update` runs once, first.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/kestrane

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf $(BUILD)
