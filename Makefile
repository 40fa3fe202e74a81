# The two commands of the README. Both install what is missing, configure and build.
.PHONY: all deps build run test asan bench package format clean

all: build

deps:
	@./scripts/install-deps

build: deps
	@test -f build/CMakeCache.txt || cmake --preset dev
	cmake --build --preset dev

run: build
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
	cmake --build --preset release
	cd build-release && cpack -G DEB
	@ls build-release/quibbo_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-release
