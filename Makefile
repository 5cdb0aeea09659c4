# SPDX-License-Identifier: GPL-3.0-or-later
# make       builds what the installed packages allow (the game; tests and benchmarks when
#            their libraries are there); installs nothing
# make run   installs what the game needs, builds the game alone, starts it
# make test  installs what the tests need too, builds everything, runs every test
# make deb   installs what building a Debian package needs, builds it from debian/ into
#            build/deb/
.PHONY: all run build-all test test-asan bench fuzz screenshot deb clean

configure = cmake --preset $(1) >/dev/null

all:
	@$(call configure,default)
	@cmake --build --preset default

# The game finds Vorlin107_rsc/ and keeps Vorlinini.vrl in its current directory.
run:
	@scripts/install-deps.sh run
	@$(call configure,default)
	@cmake --build --preset default --target vorlin
	./build/default/src/vorlin

build-all:
	@scripts/install-deps.sh test
	@$(call configure,default)
	@cmake --build --preset default

test: build-all
	@ctest --preset default --no-tests=error

test-asan:
	@scripts/install-deps.sh test
	@$(call configure,asan)
	@cmake --build --preset asan
	@ctest --preset asan --no-tests=error

bench: build-all
	@set -e; for b in build/default/bench/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b"; fi; \
	done

fuzz:
	@scripts/install-deps.sh fuzz
	@$(call configure,fuzz)
	@cmake --build --preset fuzz

# Refreshes docs/screenshot.png: a two-player game in progress, under Xvfb.
screenshot:
	@scripts/install-deps.sh test
	@$(call configure,default)
	@cmake --build --preset default --target vorlin
	@tests/e2e/screenshot.sh build/default/src/vorlin Vorlin107_rsc docs/screenshot.png

deb:
	@scripts/install-deps.sh deb
	@packaging/build-deb.sh build/deb

clean:
	rm -rf build
