# Ondelog: the two everyday commands are `make run` and `make test`.
BUILD     ?= build
PREFIX    ?= /usr/local
BENCHDIR  ?= build-bench
JOBS      ?= $(shell nproc)

.PHONY: all deps configure build test run bench screenshots install package clean format

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DONDELOG_BUILD_TESTS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@$(BUILD)/bin/ondelog $(ARGS)

bench: deps
	@cmake -S . -B $(BENCHDIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DONDELOG_BUILD_BENCH=ON -DONDELOG_BUILD_TESTS=OFF -DONDELOG_BUILD_UI=OFF >/dev/null
	@cmake --build $(BENCHDIR) -j $(JOBS) --target ondelog_bench
	@$(BENCHDIR)/bench/ondelog_bench --benchmark_counters_tabular=true

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
	@rm -rf $(BUILD) $(BENCHDIR)
