# The front door: `make run` and `make test` set everything up themselves.
BUILD   ?= build/release
ASAN    ?= build/asan
FUZZ    ?= build/fuzz
FUZZ_SECONDS ?= 20
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-release test-asan test-fuzz bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-aquarium $(BUILD)/bin

test: test-release test-asan test-fuzz

test-release: build
	@ctest --test-dir $(BUILD) --output-on-failure -j 2

# Everything that runs without a display, a GPU or a sound card, again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DPT_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j 2 -LE "gl|audio"

# Each file parser under libFuzzer for a bounded time, starting from the
# seed corpus that fuzz_seeds writes. Needs clang; skipped without it.
FUZZ_TARGETS = package_reader text_table settings wave_file playlist image model effect group_box
test-fuzz: deps
	@if ! command -v clang++ >/dev/null 2>&1; then echo "clang++ not found: fuzzing skipped"; exit 0; fi; \
	set -e; \
	cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DPT_FUZZ=ON $(CMAKE_FLAGS) >/dev/null; \
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_seeds $(FUZZ_TARGETS:%=%_fuzz); \
	$(FUZZ)/bin/fuzz_seeds $(FUZZ)/corpus; \
	for target in $(FUZZ_TARGETS); do \
	  echo "== fuzzing $$target for $(FUZZ_SECONDS) s"; \
	  $(FUZZ)/bin/$${target}_fuzz -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    -artifact_prefix=$(FUZZ)/$${target}- -print_final_stats=1 $(FUZZ)/corpus/$$target; \
	done

bench: build
	@for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true; done

clean:
	rm -rf build aquarium.png
