# The two commands of the README. Both install what the build needs (Debian
# packages, as root or through sudo), configure and build incrementally.
BUILD      ?= build
ASAN_BUILD ?= build-asan
# The till under AddressSanitizer: a tree of its own that builds one target.
ASAN_UI_BUILD ?= build-asan-ui
MONKEY_SECONDS ?= 60
JOBS       ?= $(shell nproc)

.PHONY: run test deps build build-asan build-asan-ui bench clean format format-check

deps:
	scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKASSIO_CORE_ONLY=ON -DKASSIO_SANITIZE=ON -DKASSIO_BENCH=OFF

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

$(ASAN_UI_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_UI_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKASSIO_SANITIZE=ON -DKASSIO_BENCH=OFF

build-asan-ui: deps $(ASAN_UI_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_UI_BUILD) --target kassio_till_monkey -j $(JOBS)

run: build
	$(BUILD)/bin/kassio $(ARGS)

# Every test of the normal build, then the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a minute of random
# keys and clicks on the till under both (the seed is printed; the long run
# is scripts/till-monkey). An unformatted file fails the run first: `make
# format` fixes it.
test: format-check build build-asan build-asan-ui
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)
	scripts/till-monkey --no-build --runs 1 --seconds $(MONKEY_SECONDS) --steps 1000000

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKASSIO_CORE_ONLY=ON
	cmake --build build-bench --target kassio_bench -j $(JOBS)
	build-bench/bin/kassio_bench

SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null || find src ui app tests bench tools -name '*.cpp' -o -name '*.h')

format: deps
	clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run --Werror $(SOURCES) || { echo "Unformatted files: run 'make format'"; exit 1; }

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(ASAN_UI_BUILD) build-bench
