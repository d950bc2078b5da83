# Two entry points: `make run` and `make test`. Both install what they need first.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc)

.PHONY: run test soak build configure bootstrap bench deb format clean

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

# A Debian package of a release build, in build/release (install it with
# `sudo apt install ./build/release/quillet_*.deb`).
deb: bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@cd build/release && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
