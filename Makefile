# make run   installs what is missing, builds, starts the game
# make test  installs what is missing, builds, runs every test
.PHONY: deps build run test test-asan bench fuzz clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

# The game finds Vorlin107_rsc/ and keeps Vorlinini.vrl in its current directory.
run: build
	./build/default/src/vorlin

test: build
	@ctest --preset default

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

bench: build
	@for b in build/default/bench/bench_*; do $$b; done

fuzz:
	@VORLIN_FUZZ=1 scripts/install-deps.sh
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz

clean:
	rm -rf build
