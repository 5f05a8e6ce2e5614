# The two commands of the README. Both install what the build needs (Debian
# packages, as root or through sudo), configure and build incrementally.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
# The till under AddressSanitizer: a tree of its own that builds one target.
ASAN_UI_BUILD ?= build-asan-ui
# make test's monkey run: one fixed seed, so a CI failure replays exactly;
# scripts/till-monkey makes the long runs with fresh seeds.
MONKEY_SEED ?= 1
MONKEY_STEPS ?= 6000
JOBS       ?= $(shell nproc)
# Seconds per fuzz target: `make fuzz` for a real run, `make test` a short one.
FUZZ_SECONDS       ?= 60
FUZZ_SHORT_SECONDS ?= 3

.PHONY: run test deps test-deps programs package build build-asan build-asan-ui bench clean format format-check \
        build-fuzz fuzz fuzz-short fuzz-seeds tsan

# What building and running need; the test tools only for the test targets,
# so a shop's till does not get a CUPS daemon and an FTP server with `make run`.
deps:
	scripts/install-deps

test-deps:
	scripts/install-deps --test

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The four programs alone, without the tests and benchmarks.
programs: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target kassio kassio-admin kassio-server kassio-station kassio_samples

# A Debian package of the programs, samples, manual, launcher and service.
package: programs
	cd $(BUILD) && cpack -G DEB

$(ASAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKASSIO_CORE_ONLY=ON -DKASSIO_SANITIZE=ON -DKASSIO_BENCH=OFF

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

$(ASAN_UI_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_UI_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKASSIO_SANITIZE=ON -DKASSIO_BENCH=OFF

build-asan-ui: deps $(ASAN_UI_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_UI_BUILD) --target kassio_till_monkey -j $(JOBS)

# The fuzz targets of fuzz/: clang with libFuzzer, the core only.
$(FUZZ_BUILD)/CMakeCache.txt: | test-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASSIO_CORE_ONLY=ON -DKASSIO_FUZZ=ON -DKASSIO_BENCH=OFF

build-fuzz: test-deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) --target kassio_fuzz -j $(JOBS)

fuzz: build-fuzz
	fuzz/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-short: build-fuzz
	fuzz/run-fuzz $(FUZZ_BUILD) $(FUZZ_SHORT_SECONDS)

# Rewrites fuzz/corpus from the program's own files (after a format change).
fuzz-seeds: test-deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) --target make_fuzz_seeds -j $(JOBS)
	rm -rf fuzz/corpus
	$(FUZZ_BUILD)/bin/make_fuzz_seeds fuzz/corpus

# The station server, its gRPC integration tests and the posting journal's
# threads under ThreadSanitizer. Debian's gRPC is not instrumented:
# tests/tsan.supp names what that hides.
$(TSAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASSIO_SANITIZE_THREAD=ON -DKASSIO_BENCH=OFF

tsan: deps $(TSAN_BUILD)/CMakeCache.txt
	cmake --build $(TSAN_BUILD) --target kassio_server_tests kassio_station_integration_tests kassio_core_tests -j $(JOBS)
	for t in kassio_server_tests kassio_station_integration_tests; do \
	  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	    setarch -R $(TSAN_BUILD)/bin/$$t --gtest_brief=1 || exit 1; \
	done
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  setarch -R $(TSAN_BUILD)/bin/kassio_core_tests --gtest_brief=1 \
	    --gtest_filter='*PostingJournal*:StoreFiles*:PosixFileSystem*'

run: programs
	$(BUILD)/bin/kassio $(ARGS)

# Every test of the normal build, then the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of every fuzz
# target, the station server under ThreadSanitizer, and a minute of random
# keys and clicks on the till under ASan and UBSan (the seed is printed; the
# long run is scripts/till-monkey). An unformatted file fails the run first:
# `make format` fixes it.
test: test-deps format-check build build-asan build-asan-ui fuzz-short tsan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)
	scripts/till-monkey --no-build --seed $(MONKEY_SEED) --steps $(MONKEY_STEPS)
	scripts/till-monkey --no-build --seed $(MONKEY_SEED) --steps $(MONKEY_STEPS) --station client

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKASSIO_CORE_ONLY=ON
	cmake --build build-bench --target kassio_bench -j $(JOBS)
	build-bench/bin/kassio_bench

SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null || find src ui app tests bench tools fuzz -name '*.cpp' -o -name '*.h')

format: test-deps
	clang-format -i $(SOURCES)

format-check: test-deps
	@clang-format --dry-run --Werror $(SOURCES) || { echo "Unformatted files: run 'make format'"; exit 1; }

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(ASAN_UI_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD) build-bench
