# Front door. `make run` and `make test` install what is missing first.
BUILD   := build
HOST    := $(BUILD)/host
WIN32   := $(BUILD)/win32
WIN64   := $(BUILD)/win64
FUZZ    := $(BUILD)/fuzz
BENCH   := $(BUILD)/bench
FUZZ_SECONDS ?= 60
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

# Fuzz targets: clang with libFuzzer, ASan and UBSan, each run for
# FUZZ_SECONDS with its corpus kept under the tree.
FUZZERS := text/format_fuzz text/gstring_fuzz payload/text_table_fuzz payload/unpack_fuzz
fuzz:
	cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DKRESKA_FUZZ=ON >/dev/null
	cmake --build $(FUZZ) -j $(JOBS) --target $(notdir $(FUZZERS))
	@for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ)/corpus/$$(basename $$f); \
	  echo "fuzz: $$f for $(FUZZ_SECONDS) s"; \
	  $(FUZZ)/$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=$(FUZZ)/ \
	    $$(d=$$(dirname $$f)/tests/$$(basename $$f).dict; test -f $$d && echo -dict=$$d) $(FUZZ)/corpus/$$(basename $$f) || exit 1; \
	done

# Benchmarks: Release, no sanitizers.
BENCHMARKS := text/format_bench text/gstring_bench payload/payload_bench
bench:
	cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DSANITIZE=OFF >/dev/null
	cmake --build $(BENCH) -j $(JOBS) --target $(notdir $(BENCHMARKS))
	@for b in $(BENCHMARKS); do $(BENCH)/$$b || exit 1; done

clean:
	rm -rf $(BUILD) dist
