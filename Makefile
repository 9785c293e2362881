# TRELMO: `make run` builds and opens the example board, `make check` builds
# and runs every test. Builds use Ninja in build/ (incremental).
BUILD ?= build/main
JOBS ?= 2
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
APT_PACKAGES = cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libgtest-dev libgmock-dev libbenchmark-dev \
  libgif-dev libtiff-dev libcfitsio-dev libpng-dev libjpeg62-turbo-dev clang clang-format clang-tidy libclang-rt-14-dev ccache xvfb xauth xdotool x11-utils libx11-dev \
  libcairo2-dev libcups2-dev gerbv ghostscript poppler-utils libpolyclipping-dev

.PHONY: all deps configure build run check format-check lint bench fuzz fuzz-smoke clean

all: build

deps:
	@./tools/install-deps.sh $(APT_PACKAGES)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/app/trelmo examples/demo.pcb

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# clang-format on every C++ file (format-check), and clang-tidy on the core
# library as well (lint).
format-check:
	./tools/lint.sh $(BUILD) $(JOBS) format

lint: configure
	./tools/lint.sh $(BUILD) $(JOBS)

bench: deps
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRELMO_BUILD_BENCH=ON \
	  -DTRELMO_BUILD_TESTS=OFF -DTRELMO_BUILD_APP=OFF
	cmake --build build/bench -j $(JOBS)
	./bench/run-all.sh build/bench

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
	  -DTRELMO_BUILD_FUZZ=ON -DTRELMO_BUILD_TESTS=OFF -DTRELMO_BUILD_APP=OFF -DTRELMO_SANITIZE=ON
	cmake --build build/fuzz -j $(JOBS) --target fuzzers
	./fuzz/run.sh build/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# A few seconds per harness: what CI can afford on every change.
fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=5

clean:
	rm -rf build
