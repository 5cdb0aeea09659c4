#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package on a machine that has nothing else: `apt-get install ./<deb>` in a minimal
# Debian 12 root (debootstrap minbase, the archive's full sources), which must bring every
# library the game needs, SDL included, since the game opens SDL itself and dpkg-shlibdeps
# cannot see it. The installed game is started under an Xvfb of the host, Start is clicked,
# and SDL's disk audio driver must write the start beam; then `apt-get purge --autoremove`
# must leave /usr as it was. Prints what the install added.
# The minimal root is made once and kept as a tarball (default /var/cache/vorlin; refreshed
# after a week); each run unpacks a copy.
# Usage (root): pristine.sh <deb> [artifact folder]
# MIRROR and SECURITY_MIRROR override the archive; VORLIN_PRISTINE_CACHE the cache folder.
set -euo pipefail
deb=$(readlink -f "$1") art=$(readlink -f "${2:-.}")
# stop_processes
. "$(dirname "$0")/common.sh"
fail() {
  echo "pristine: FAIL: $*"
  [ -n "${DISPLAY:-}" ] && import -window root "$art/pristine-failure.png" 2>/dev/null
  exit 1
}
say() { echo "pristine: $*"; }
[ "$(id -u)" = 0 ] || fail "needs root (debootstrap, chroot)"
[ -f "$deb" ] || fail "no package $1"
for tool in debootstrap Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
mirror=${MIRROR:-http://deb.debian.org/debian}
security=${SECURITY_MIRROR:-http://deb.debian.org/debian-security}
cache=${VORLIN_PRISTINE_CACHE:-/var/cache/vorlin}
tarball=$cache/bookworm-minbase.tar
mkdir -p "$art" "$cache"

root="" mounted=() pids=()
cleanup() {
  stop_processes "${pids[@]}"
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  [ -n "$root" ] && rm -rf --one-file-system "$root"
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP

if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
  say "debootstrap bookworm minbase from $mirror into the cache $tarball"
  fresh=$(mktemp -d /var/tmp/vorlin-minbase.XXXXXX)
  debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$art/pristine-debootstrap.log" 2>&1 ||
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

in_root apt-get update -q >"$art/pristine-apt.log" 2>&1 || { tail -20 "$art/pristine-apt.log"; fail "apt-get update"; }
find "$root/usr" -path "$root/usr/lib/python3*/__pycache__" -prune -o -print | sed "s,^$root,," | sort >"$art/pristine-usr-before.txt"
n0=$(in_root dpkg-query -W -f='.\n' | wc -l)
kb0=$(in_root dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}')
cp "$deb" "$root/tmp/"
t0=$SECONDS
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "./tmp/$(basename "$deb")" >>"$art/pristine-apt.log" 2>&1 ||
  { tail -30 "$art/pristine-apt.log"; fail "apt-get install ./$(basename "$deb")"; }
n1=$(in_root dpkg-query -W -f='.\n' | wc -l)
kb1=$(in_root dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}')
say "apt-get install ./$(basename "$deb"): $((n1 - n0)) packages, $(((kb1 - kb0) / 1024)) MB installed, $((SECONDS - t0)) s"
in_root dpkg-query -W -f='${Status}' libsdl2-2.0-0 2>/dev/null | grep -q "install ok installed" ||
  fail "the package did not bring SDL (libsdl2-2.0-0)"

# The game on an Xvfb of the host: the root shares the host's network namespace, so it reaches
# the display's abstract socket.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 num <&5 || fail "Xvfb did not start"
export DISPLAY=":$num"
in_root DISPLAY="$DISPLAY" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/tmp/cue.raw XDG_RUNTIME_DIR=/tmp \
  /usr/games/vorlin >"$art/pristine-game.log" 2>&1 &
pids+=($!)
wid=""
for _ in $(seq 300); do
  wid=$(xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null | head -1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { cat "$art/pristine-game.log"; fail "the installed game shows no window"; }
# Start, in the middle of the score panel: 105 x 41 at (199, menu bar + 23), so this point is
# on it for any menu bar from 0 to 40 pixels high.
xdotool mousemove --window "$wid" 251 63 click 1
# The beam follows the 5 s countdown; the disk driver writes it out as it plays. Silence is one
# repeated byte value; a wave has many.
cue=$root/tmp/cue.raw
played() { [ -f "$cue" ] && [ "$(od -An -tu1 -v "$cue" | tr -s ' ' '\n' | sort -u | wc -l)" -gt 16 ]; }
for _ in $(seq 200); do played && break; sleep 0.1; done
played || { cat "$art/pristine-game.log"; fail "no cue played (SDL disk audio wrote $(stat -c %s "$cue" 2>/dev/null || echo no) bytes)"; }
say "the start beam played: SDL's disk audio driver wrote $(stat -c %s "$cue") bytes"
! grep "cannot be loaded" "$art/pristine-game.log" || fail "the game could not load SDL"
stop_processes "${pids[1]}"

in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y --autoremove vorlin >>"$art/pristine-apt.log" 2>&1 ||
  fail "apt-get purge vorlin"
find "$root/usr" -path "$root/usr/lib/python3*/__pycache__" -prune -o -print | sed "s,^$root,," | sort >"$art/pristine-usr-after.txt"
diff "$art/pristine-usr-before.txt" "$art/pristine-usr-after.txt" >"$art/pristine-usr.diff" ||
  { head -30 "$art/pristine-usr.diff"; fail "apt-get purge --autoremove left /usr changed"; }
say "apt-get purge --autoremove vorlin left /usr as it was"
echo "pristine: passed"
