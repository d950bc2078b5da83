# Two entry points: `make run` and `make test`. Both install what they need first.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc)

.PHONY: run test soak build configure bootstrap bench bench-peers deb fuzz format clean

bootstrap:
	@./scripts/bootstrap

configure: bootstrap
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@./scripts/run $(BUILD_DIR)/src/app/quillet

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

# 200 kills of a running Quillet, then 10,000 copies into one (a few minutes).
soak: build
	@QUILLET_BUILD_DIR=$(CURDIR)/$(BUILD_DIR) ./tests/harness/run-test x11 \
		$(BUILD_DIR)/tests/soak/tst_soak --long

bench: build
	@for b in $(BUILD_DIR)/bench/*_bench; do ./tests/harness/run-test bench $$b; done
	@echo "capture_bench on the Wayland tier (headless sway):"
	@./tests/harness/run-test wayland $(BUILD_DIR)/bench/capture_bench

# The same workloads against GPaste and CopyQ (installed with apt if missing),
# each on a private X server and session bus: one table (about 8 minutes).
bench-peers: configure
	@cmake --build --preset $(PRESET) -j $(JOBS) --target quillet clipowner
	@./bench/peers $(BUILD_DIR)

# A Debian package of a release build, in build/release (install it with
# `sudo apt install ./build/release/quillet_*.deb`).
deb: bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@cd build/release && cpack -G DEB

# Each fuzz target under libFuzzer for FUZZ_SECONDS, starting from its corpus
# in tests/fuzz/corpus; new inputs go to build/fuzz/found/<target>, crashes
# to build/fuzz/crashes. `make test` replays the corpora without libFuzzer.
FUZZ_SECONDS ?= 60
# The targets that read files write each input to one first: memory is faster.
FUZZ_TMPDIR ?= $(if $(wildcard /dev/shm),/dev/shm,/tmp)
fuzz:
	@./scripts/bootstrap fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@mkdir -p build/fuzz/crashes
	@for dir in tests/fuzz/corpus/*/; do \
	    t=$$(basename $$dir); mkdir -p build/fuzz/found/$$t; \
	    echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	    log=build/fuzz/found/$$t.log; \
	    if ! TMPDIR=$(FUZZ_TMPDIR) QT_QPA_PLATFORM=offscreen build/fuzz/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
	        -timeout=10 -malloc_limit_mb=1024 -print_final_stats=1 -artifact_prefix=build/fuzz/crashes/$$t- \
	        build/fuzz/found/$$t $$dir >$$log 2>&1; then tail -n 60 $$log; exit 1; fi; \
	    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units' $$log; \
	done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
