# The two commands of the README. Both install what is missing, configure and build.
.PHONY: all deps build run test asan bench package fuzz mutants format clean

all: build

deps:
	@./scripts/install-deps

build: deps
	@test -f build/CMakeCache.txt || cmake --preset dev
	cmake --build --preset dev

# The demo needs the two programs and the simulator, not the tests and benchmarks.
run: deps
	@test -f build/CMakeCache.txt || cmake --preset dev
	cmake --build --preset dev --target quibbo quibbo-send-selection quibbo-sim
	./scripts/run-demo

test: build
	ctest --preset dev -j2

asan: deps
	@test -f build-asan/CMakeCache.txt || cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan -j2

bench: deps
	@test -f build-release/CMakeCache.txt || cmake --preset release
	cmake --build --preset release
	./bench/run-all build-release

# A Debian package of the optimised build: build-release/quibbo_<version>_amd64.deb
package: deps
	@test -f build-release/CMakeCache.txt || cmake --preset release
	cmake --build --preset release --target installed
	cd build-release && cpack -G DEB
	@ls build-release/quibbo_*.deb

# Each fuzz target for FUZZ_SECONDS (default 60); new inputs go to build-fuzz/corpus/, the
# seeds and kept findings are fuzz/corpus/ (make test replays them).
FUZZ_SECONDS ?= 60
fuzz: deps
	@test -f build-fuzz/CMakeCache.txt || cmake --preset fuzz
	cmake --build --preset fuzz
	@for target in $$(ls fuzz/corpus); do \
	    mkdir -p build-fuzz/corpus/$$target build-fuzz/findings; \
	    echo "fuzz: $$target for $(FUZZ_SECONDS) s"; \
	    build-fuzz/bin/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=build-fuzz/findings/$$target- \
	        build-fuzz/corpus/$$target fuzz/corpus/$$target > build-fuzz/$$target.log 2>&1; \
	    status=$$?; \
	    grep -E "^stat::(number_of_executed_units|peak_rss_mb)" build-fuzz/$$target.log; \
	    [ $$status -eq 0 ] || { tail -n 40 build-fuzz/$$target.log; exit 1; }; \
	done

# One-line faults, each against the whole suite, to find the rules no test guards (scripts/mutants
# --help). By default the lines changed since MUTANTS_BASE; MUTANTS passes anything else, e.g.
# make mutants MUTANTS="--sample 150 --seed 41 src". Not part of make test: about a minute a fault.
MUTANTS_BASE ?= HEAD~1
MUTANTS ?= --base $(MUTANTS_BASE)
mutants: build
	./scripts/mutants $(MUTANTS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-release build-fuzz
