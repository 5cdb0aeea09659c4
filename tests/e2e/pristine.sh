#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package on a machine that has nothing else: `apt-get install ./<deb>` in a minimal
# Debian 12 root (debootstrap minbase, the archive's full sources), which must bring every
# library the game needs, SDL included, since the game opens SDL itself and dpkg-shlibdeps
# cannot see it. Then the package's own autopkgtest (debian/tests), run by hand as autopkgtest
# would in the root: its Depends installed, debian/tests/smoke started (--version, the start
# beam through SDL's disk audio driver, Escape, the settings file); then `apt-get purge
# --autoremove` must leave /usr as it was. Prints what the install added.
# The minimal root is made once and kept as a tarball (default /var/cache/vorlin; refreshed
# after a week); each run unpacks a copy.
# Usage (root): pristine.sh <deb> [artifact folder]
# MIRROR and SECURITY_MIRROR override the archive; VORLIN_PRISTINE_CACHE the cache folder.
set -euo pipefail
deb=$(readlink -f "$1") art=$(readlink -f "${2:-.}")
tests=$(cd "$(dirname "$0")/../../debian/tests" && pwd)
. "$(dirname "$0")/progress.sh"
fail() { echo "pristine: FAIL: $*"; exit 1; }
say() { echo "pristine: $*"; }
[ "$(id -u)" = 0 ] || fail "needs root (debootstrap, chroot)"
[ -f "$deb" ] || fail "no package $1"
command -v debootstrap >/dev/null || fail "debootstrap is not installed"
mirror=${MIRROR:-http://deb.debian.org/debian}
security=${SECURITY_MIRROR:-http://deb.debian.org/debian-security}
cache=${VORLIN_PRISTINE_CACHE:-/var/cache/vorlin}
tarball=$cache/bookworm-minbase.tar
mkdir -p "$art" "$cache"

root="" mounted=()
cleanup() {
  # What is left running inside the root (a failed test's game, say), by process id.
  for p in /proc/[0-9]*; do
    [ -n "$root" ] && [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill "${p#/proc/}" 2>/dev/null || true
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  [ -n "$root" ] && rm -rf --one-file-system "$root"
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP

if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
  say "debootstrap bookworm minbase from $mirror into the cache $tarball"
  fresh=$(mktemp -d /var/tmp/vorlin-minbase.XXXXXX)
  progress "$art/pristine-debootstrap.log" "pristine: debootstrap" debootstrap --variant=minbase bookworm "$fresh" "$mirror" ||
    { tail -20 "$art/pristine-debootstrap.log"; rm -rf --one-file-system "$fresh"; fail "debootstrap"; }
  cat >"$fresh/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
SOURCES
  rm -rf "$fresh"/var/cache/apt/archives/*.deb "$fresh"/var/lib/apt/lists/*
  tar -C "$fresh" -cf "$tarball.new" . && mv "$tarball.new" "$tarball"
  rm -rf --one-file-system "$fresh"
fi
root=$(mktemp -d /var/tmp/vorlin-pristine.XXXXXX)
tar -C "$root" -xf "$tarball"
chmod 755 "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount --bind /dev "$root/dev" && mounted+=("$root/dev")
mount -t devpts devpts "$root/dev/pts" && mounted+=("$root/dev/pts")
mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

progress "$art/pristine-apt.log" "pristine: apt-get update" in_root apt-get update -q ||
  { tail -20 "$art/pristine-apt.log"; fail "apt-get update"; }
find "$root/usr" -path "$root/usr/lib/python3*/__pycache__" -prune -o -print | sed "s,^$root,," | sort >"$art/pristine-usr-before.txt"
n0=$(in_root dpkg-query -W -f='.\n' | wc -l)
kb0=$(in_root dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}')
cp "$deb" "$root/tmp/"
t0=$SECONDS
progress "$art/pristine-install.log" "pristine: apt-get install" \
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "./tmp/$(basename "$deb")" ||
  { tail -30 "$art/pristine-install.log"; fail "apt-get install ./$(basename "$deb")"; }
n1=$(in_root dpkg-query -W -f='.\n' | wc -l)
kb1=$(in_root dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}')
say "apt-get install ./$(basename "$deb"): $((n1 - n0)) packages, $(((kb1 - kb0) / 1024)) MB installed, $((SECONDS - t0)) s"
in_root dpkg-query -W -f='${Status}' libsdl2-2.0-0 2>/dev/null | grep -q "install ok installed" ||
  fail "the package did not bring SDL (libsdl2-2.0-0)"

# The autopkgtest as autopkgtest runs it: its Depends installed (marked automatic, so the purge
# below takes them away with the game's), the test from a scratch folder of its own.
mapfile -t depends < <(sed -n 's/^Depends: *//p' "$tests/control" | tr ', ' '\n\n' | grep -v -e '^$' -e '^vorlin$')
progress "$art/pristine-test-depends.log" "pristine: the test's Depends" in_root env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${depends[@]}" || fail "apt-get install ${depends[*]}"
in_root apt-mark auto "${depends[@]}" >/dev/null
mkdir -p "$root/tmp/autopkgtest/tmp"
cp "$tests/smoke" "$root/tmp/autopkgtest/"
in_root AUTOPKGTEST_TMP=/tmp/autopkgtest/tmp /tmp/autopkgtest/smoke 2>&1 | tee "$art/pristine-smoke.log" |
  sed 's/^/pristine: /' || fail "debian/tests/smoke (log: $art/pristine-smoke.log)"

progress "$art/pristine-purge.log" "pristine: apt-get purge" \
  in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y --autoremove vorlin || fail "apt-get purge vorlin"
find "$root/usr" -path "$root/usr/lib/python3*/__pycache__" -prune -o -print | sed "s,^$root,," | sort >"$art/pristine-usr-after.txt"
diff "$art/pristine-usr-before.txt" "$art/pristine-usr-after.txt" >"$art/pristine-usr.diff" ||
  { head -30 "$art/pristine-usr.diff"; fail "apt-get purge --autoremove left /usr changed"; }
say "apt-get purge --autoremove vorlin left /usr as it was"
echo "pristine: passed"
