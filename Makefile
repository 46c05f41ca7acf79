# The front door: `make run` and `make test` set everything up themselves.
BUILD   ?= build/release
ASAN    ?= build/asan
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-release test-asan bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-aquarium $(BUILD)/bin

test: test-release test-asan

test-release: build
	@ctest --test-dir $(BUILD) --output-on-failure -j 2

# Everything that runs without a display, a GPU or a sound card, again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DPT_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j 2 -LE "gl|audio"

bench: build
	@for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true; done

clean:
	rm -rf build aquarium.png
