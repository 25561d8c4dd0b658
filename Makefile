# SPDX-License-Identifier: GPL-3.0-or-later
# Ondelog: the two everyday commands are `make run` and `make test`.
BUILD     ?= build
PREFIX    ?= /usr/local
BENCHDIR  ?= build-bench
SANDIR    ?= build-sanitize
SANITIZE  := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
JOBS      ?= $(shell nproc)

.PHONY: all deps configure build test sanitize run bench screenshots install package clean format

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DONDELOG_BUILD_TESTS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer:
# any invalid access or undefined operation fails the test that made it.
sanitize: deps
	@cmake -S . -B $(SANDIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DONDELOG_BUILD_TESTS=ON \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" >/dev/null
	@cmake --build $(SANDIR) -j $(JOBS)
	@cd $(SANDIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

run: build
	@$(BUILD)/bin/ondelog $(ARGS)

bench: deps
	@cmake -S . -B $(BENCHDIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DONDELOG_BUILD_BENCH=ON -DONDELOG_BUILD_TESTS=OFF -DONDELOG_BUILD_UI=ON >/dev/null
	@cmake --build $(BENCHDIR) -j $(JOBS) --target ondelog_bench ondelog_window_bench
	@$(BENCHDIR)/bench/ondelog_bench --benchmark_counters_tabular=true
	@QT_QPA_PLATFORM=offscreen $(BENCHDIR)/bench/ondelog_window_bench --benchmark_counters_tabular=true

# DESTDIR=... lays the tree out under another folder, as packagers do.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/*.deb

screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bin/ondelog_screenshots $(BUILD)/screenshots
	@echo "Captures d'écran : $(BUILD)/screenshots"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BENCHDIR) $(SANDIR)
