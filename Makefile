# Two commands for a fresh Debian machine: `make test` and `make run` (`make run-<program>` for a
# console program).
JOBS    ?= $(shell nproc)
BUILD   ?= build
NATIVE  := $(BUILD)/native
WIN     := $(BUILD)/win
BLASLIB := $(BUILD)/blas/libblas.a

.PHONY: all setup native win test test-native test-win run bench fuzz screenshot clean

all: native win

setup:
	@scripts/setup.sh

$(BLASLIB): | setup
	scripts/build-blas-mingw.sh $(BUILD)/blas

native: setup
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DVESK_SANITIZE=ON >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

win: setup $(BLASLIB)
	cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DVESK_MINGW_BLAS=$(abspath $(BLASLIB)) >/dev/null
	cmake --build $(WIN) -j $(JOBS)

test-native: native
	cd $(NATIVE) && OPENBLAS_NUM_THREADS=1 ctest --output-on-failure -j $(JOBS)

test-win: win
	cd $(WIN) && ctest --output-on-failure

test: test-native test-win

run: win
	scripts/run-program.sh $(WIN)/vesk.exe

# make run-molda, run-drav, run-halvire, run-ospe: a console program in its window.
run-%: win
	scripts/run-program.sh $(WIN)/$*.exe

# The benchmarks in a Release build, with FFTW's transforms beside the Fourier workloads (FFTW is
# installed for them; nothing else needs it). scripts/bench/*.sh print the ratios against R.
bench:
	@scripts/setup.sh bench
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/bench -j $(JOBS) --target vesk_bench
	OPENBLAS_NUM_THREADS=1 $(BUILD)/bench/vesk_bench

# Builds the fuzz harnesses of the readers with clang and runs each for FUZZ_SECONDS; FUZZ_HARNESSES
# (such as table_reader_fuzz) runs only those.
FUZZ_SECONDS ?= 600
FUZZ_HARNESSES ?=
fuzz:
	@scripts/setup.sh fuzz
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DVESK_FUZZ=ON >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS) --target fuzz_harnesses
	scripts/run-fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS) $(FUZZ_HARNESSES)

screenshot: win
	scripts/screenshot.sh $(WIN)/vesk.exe $(BUILD)/screenshot.png

clean:
	rm -rf $(BUILD)
