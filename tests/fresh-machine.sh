#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A new player's first hour, on demand (not part of the test suite): a minimal Debian 12 root
# made with debootstrap, holding only git and sudo and a user who may use it, a clean clone of
# this repository, and the README's first two commands run in it exactly as written. The game
# of the first command shows its window on an Xvfb of the host and is ended once it does.
# Prints the time and the installed size of each command.
# Usage (root): tests/fresh-machine.sh [work folder, default /var/tmp/vorlin-fresh]
# Needs debootstrap, Xvfb and xdotool on the host; MIRROR overrides the Debian archive.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "fresh-machine: run as root (debootstrap, chroot)"; exit 2; }
for tool in debootstrap Xvfb xdotool git; do
  command -v "$tool" >/dev/null || { echo "fresh-machine: $tool is not installed"; exit 2; }
done
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
work=${1:-/var/tmp/vorlin-fresh}
root=$work/root
mirror=${MIRROR:-http://deb.debian.org/debian}
user=player
home=/home/$user

mounted=() pids=() group=""
cleanup() {
  [ -n "$group" ] && kill -- -"$group" 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
say() { echo "fresh-machine: $*"; }

# ---- the machine --------------------------------------------------------------------------
if [ -e "$root" ]; then
  say "removing the previous root $root"
  rm -rf --one-file-system "$root"
fi
mkdir -p "$work"
say "debootstrap bookworm (minbase, git, sudo) from $mirror"
debootstrap --variant=minbase --include=git,sudo,ca-certificates bookworm "$root" "$mirror" \
  >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log"; exit 1; }
echo "deb $mirror bookworm main" >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
chroot "$root" useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
echo localhost >"$root/etc/hostname"
# A machine as a user receives it: apt's lists fresh, its cache empty.
chroot "$root" apt-get update -qq
chroot "$root" apt-get clean
for m in proc sys dev dev/pts; do
  case $m in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sys "$root/sys" ;;
    dev) mount --bind /dev "$root/dev" ;;
    dev/pts) mount -t devpts devpts "$root/dev/pts" ;;
  esac
  mounted+=("$root/$m")
done
mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")

git clone -q --no-local "$repo" "$root$home/vorlin"
chroot "$root" chown -R "$user:$user" "$home/vorlin"
say "clone of $(git -C "$repo" rev-parse --short HEAD)"

# The README's first two commands, as written (their comments are comments to bash too).
mapfile -t commands < <(sed -n '/^    /{s/^    //;p}' "$repo/README.md" | head -2)
[ ${#commands[@]} = 2 ] || { say "the README has no two commands on top"; exit 1; }

# Xvfb on the host; the chroot shares the host's network namespace, so it reaches its socket.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1024x768x24 >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 num <&5 || { say "Xvfb did not start"; exit 1; }
display=":$num"

enter=(chroot --userspec="$user:$user" "$root" /usr/bin/env -i HOME="$home" USER="$user"
  PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" TERM=dumb bash -c)
installed_kb() { chroot "$root" dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}'; }
packages() { chroot "$root" dpkg-query -W -f='${Package}\n' | wc -l; }
disk_mb() { du -sxm "$root" | cut -f1; }
report=()
measure_start() { t0=$SECONDS kb0=$(installed_kb) n0=$(packages) d0=$(disk_mb); }
measure_end() {
  local kb n d
  kb=$(installed_kb) n=$(packages) d=$(disk_mb)
  report+=("$(printf '%-7s %3d min %02d s   %3d packages, %4d MB installed   disk +%d MB (build and apt cache included)' \
    "$1" $(((SECONDS - t0) / 60)) $(((SECONDS - t0) % 60)) $((n - n0)) $(((kb - kb0) / 1024)) $((d - d0)))")
}
say "base: $(packages) packages, $(($(installed_kb) / 1024)) MB installed"

# ---- first command: until the game's window shows ------------------------------------------
say "running: ${commands[0]}"
measure_start
setsid "${enter[@]}" "cd ~/vorlin && ${commands[0]}" >"$work/run.log" 2>&1 &
group=$!
shown=""
while kill -0 "$group" 2>/dev/null; do
  shown=$(DISPLAY=$display xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null | head -1) && [ -n "$shown" ] && break
  sleep 0.5
done
[ -n "$shown" ] || { tail -30 "$work/run.log"; say "FAIL: the first command ended without showing the game"; exit 1; }
measure_end "first"
say "the game showed its window '$(DISPLAY=$display xdotool getwindowname "$shown" 2>/dev/null)'"
kill -- -"$group" 2>/dev/null || true
wait "$group" 2>/dev/null || true
group=""

# ---- second command: the whole suite ------------------------------------------------------
say "running: ${commands[1]}"
measure_start
status=0
"${enter[@]}" "cd ~/vorlin && ${commands[1]}" >"$work/test.log" 2>&1 || status=$?
measure_end "second"
grep -E "tests passed|tests failed|Not Run|Failed|\(Skipped\)" "$work/test.log" | tail -15 || true

echo
say "Debian 12 minbase with git and sudo, $(nproc) cores"
for line in "${report[@]}"; do echo "  $line"; done
[ "$status" = 0 ] || { say "FAIL: the second command ended with status $status (log: $work/test.log)"; exit 1; }
say "passed"
