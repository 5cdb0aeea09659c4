# SPDX-License-Identifier: GPL-3.0-or-later
# make       builds what the installed packages allow (the game; tests and benchmarks when
#            their libraries are there); installs nothing
# make run   installs what the game needs, builds the game alone, starts it
# make test  installs what the tests need too, builds everything, runs the tests a change to
#            the game can break: the unit tests, then the end-to-end runs (under two minutes)
# make check-release  installs what a release needs, then the slow rest: the Debian packages
#            built and checked, the one-copy stress runs, the package in a pristine root (as
#            root, or with sudo). tests/fresh-machine.sh, the README on new machines, is by hand.
# make deb   installs what building a Debian package needs, builds it from debian/ into
#            build/deb/
# make dist  the upstream tarball of HEAD (git archive, without debian/) beside the tree, as
#            ../vorlin_<version>.orig.tar.xz, where dpkg-buildpackage -S looks for it
.PHONY: all run build-all test check-release test-asan bench fuzz screenshot deb dist clean

configure = cmake --preset $(1) >/dev/null
# $(call tests,<preset>,<labels>): the unit tests quietly, then the tests of <labels> one at a
# time with their output as it comes (ctest -V), so a run of a minute is never silent.
tests = ctest --preset $(1) --no-tests=error -L unit && ctest --preset $(1) --no-tests=error -L '$(2)' -V
as_root = $$([ "$$(id -u)" = 0 ] || echo sudo)

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
	@$(call tests,default,e2e)

check-release:
	@scripts/install-deps.sh release
	@$(call configure,default)
	@cmake --build --preset default
	@ctest --preset default --no-tests=error -L release -V
	@$(as_root) tests/e2e/pristine.sh build/default/deb/vorlin_*_amd64.deb build/default/e2e-artifacts

# Every label: the one-copy stress runs under the sanitizers too.
test-asan:
	@scripts/install-deps.sh test
	@$(call configure,asan)
	@cmake --build --preset asan
	@$(call tests,asan,e2e|release)

# The programs built in bench/, then bench/bench_make_test.sh (make test, timed).
bench: build-all
	@set -e; for b in build/default/bench/bench_* bench/bench_*.sh; do \
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

# One thread, so the same commit always gives the same bytes.
dist:
	@v=$$(sed -n 's/^project(Vorlin VERSION \([^ ]*\).*/\1/p' CMakeLists.txt); \
	git archive --format=tar --prefix=vorlin-$$v/ HEAD -- . ':(exclude)debian' | xz -T1 >../vorlin_$$v.orig.tar.xz; \
	echo "dist: ../vorlin_$$v.orig.tar.xz"

clean:
	rm -rf build
