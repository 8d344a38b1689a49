# The newcomer's entry points:
#   make demo   installs what is missing, builds, and runs the main job on the bundled sample
#   make test   installs what is missing, builds every configuration, and runs every test
#               (native and sanitizer builds directly, the Windows build under wine)
#   make gui    builds the Windows program and starts it under wine on the sample board
#               (with no display set: on a virtual one, saving build/gui/start-page.png)
#   make fuzz   builds the fuzz targets and runs each in turn for FUZZ_SECONDS
#   make dist   builds the release from both Windows builds into build/dist: the setup
#               program and a zip archive of the 32-bit build, a zip of the 64-bit one
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PRESETS := native asan mingw64 mingw32
FUZZ_SECONDS ?= 60

.PHONY: all deps demo test gui dist fuzz fuzz-build $(PRESETS) clean

all: native

deps:
	@scripts/install-deps.sh

$(PRESETS): deps
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

demo: native
	@scripts/demo.sh build/native/bin/varlin

# The fuzz targets are built with clang (libFuzzer) in a build of their own.
fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

fuzz: fuzz-build
	@scripts/fuzz.sh build/fuzz $(FUZZ_SECONDS)

test: $(PRESETS) fuzz-build
	scripts/check-style.sh
	ctest --preset native -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	ctest --preset mingw64 -j $(JOBS)
	ctest --preset mingw32 -j $(JOBS)
	ctest --preset fuzz

gui: mingw64
	@scripts/gui.sh build/mingw64

dist: mingw32 mingw64
	rm -rf build/dist
	cmake --build --preset mingw32 --target dist
	cmake --build --preset mingw64 --target dist
	@ls -l build/dist

clean:
	rm -rf build
