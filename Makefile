# Front door. `make run` and `make test` install what is missing first.
BUILD   := build
HOST    := $(BUILD)/host
WIN32   := $(BUILD)/win32
WIN64   := $(BUILD)/win64
JOBS    ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all deps host win32 win64 test run bench fuzz clean

all: host win64 win32

deps:
	@bash tools/install-deps.sh

host:
	cmake -S . -B $(HOST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(HOST) -j $(JOBS)

win64:
	cmake -S . -B $(WIN64) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	cmake --build $(WIN64) -j $(JOBS)

win32: host win64
	cmake -S . -B $(WIN32) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	      -DHOST_BUILD_DIR=$(abspath $(HOST)) -DWIN64_BUILD_DIR=$(abspath $(WIN64)) >/dev/null
	cmake --build $(WIN32) -j $(JOBS)

# Host tests (ASan/UBSan) first, then the Windows side under Wine.
test: deps all
	@JOBS=$(JOBS) bash tools/run-tests.sh $(HOST) $(WIN64) $(WIN32)

# Copies the installer to dist/ and starts it under Wine in .wine/.
run: deps all
	@bash tools/run-installer.sh

clean:
	rm -rf $(BUILD) dist
