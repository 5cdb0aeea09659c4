#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A new player's first hour, on demand before a release (not part of make check-release nor of
# CI: a quarter of an hour on 2 cores). In a minimal Debian 12 root made with debootstrap
# (minbase with git, the archive's full sources: release, updates, security), the README is
# followed word for word: its clone step (from a copy of this repository instead of the
# network), its two commands, then its "Installing" section, each line of it that is for root
# or for everyone. Once as root on a machine that has git alone (no sudo), once as a user whose
# sudo (installed for them, as an administrator does) asks for a password, typed through a
# pseudo-terminal as a person types it; both at once, each in its own root. The game of the
# first command must show its window on an Xvfb of the host (it is ended then), the second
# must pass, the package must install. The two packages, built from clones in different
# folders, must be byte-identical; the root's then goes into a second, pristine root
# (tests/e2e/pristine.sh), where it must bring SDL, play its first cue and purge cleanly.
# Prints the time and the installed size of each step.
# Usage (root): tests/fresh-machine.sh [root|user|both] [work folder, default /var/tmp/vorlin-fresh]
# Needs debootstrap, Xvfb, xdotool, python3 on the host; MIRROR and SECURITY_MIRROR override
# the archive. The base root is kept as a tarball in /var/cache/vorlin (refreshed weekly).
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "fresh-machine: run as root (debootstrap, chroot)"; exit 2; }
for tool in debootstrap Xvfb xdotool git python3; do
  command -v "$tool" >/dev/null || { echo "fresh-machine: $tool is not installed"; exit 2; }
done
here=$(cd "$(dirname "$0")" && pwd)
repo=$(git -C "$here" rev-parse --show-toplevel)
mode=${1:-both}
work=${2:-/var/tmp/vorlin-fresh}
mirror=${MIRROR:-http://deb.debian.org/debian}
security=${SECURITY_MIRROR:-http://deb.debian.org/debian-security}
cache=${VORLIN_PRISTINE_CACHE:-/var/cache/vorlin}
say() { echo "fresh-machine: $*"; }
declare -A pid=()

# The README's commands: the block on top (clone, then the two commands) and the block of
# "Installing", whose lines may end in "# as root" or "# as a user".
readme=$repo/README.md
mapfile -t top < <(awk '/^## /{exit} /^    /{sub(/^    /, ""); print}' "$readme")
mapfile -t installing < <(awk '/^## /{on = ($0 == "## Installing"); next} on && /^    /{sub(/^    /, ""); print}' "$readme")
[ ${#top[@]} = 3 ] && [[ ${top[0]} == "git clone "* ]] || { say "the README has no clone step and two commands on top"; exit 1; }
[ ${#installing[@]} -ge 1 ] || { say "the README's Installing section has no command"; exit 1; }

# ---- one machine: root or user ------------------------------------------------------------
# Sudo asks the user for this password; the pseudo-terminal driver types it at each prompt.
password=fresh-machine-$$
# Runs a command in a pseudo-terminal, typing the password at each sudo prompt; its output
# goes to standard output, the number of passwords typed to $typed_file.
pty_driver='
import os, pty, sys
password, typed_file, argv = sys.argv[1].encode(), sys.argv[2], sys.argv[3:]
pid, fd = pty.fork()
if pid == 0:
    os.execvp(argv[0], argv)
tail, typed = b"", 0
while True:
    try:
        data = os.read(fd, 4096)
    except OSError:
        break
    if not data:
        break
    sys.stdout.buffer.write(data)
    sys.stdout.flush()
    tail = (tail + data)[-100:]
    if tail.rstrip().endswith(b"password for player:"):
        os.write(fd, password + b"\n")
        typed, tail = typed + 1, b""
        with open(typed_file, "w") as f:
            f.write(str(typed))
_, status = os.waitpid(pid, 0)
sys.exit(os.waitstatus_to_exitcode(status))
'

base_tarball() {
  local tarball=$cache/bookworm-minbase-git.tar fresh
  mkdir -p "$cache"
  [ -n "$(find "$tarball" -mtime -7 2>/dev/null)" ] && { echo "$tarball"; return; }
  say "debootstrap bookworm (minbase, git) from $mirror into the cache $tarball" >&2
  fresh=$(mktemp -d /var/tmp/vorlin-base.XXXXXX)
  debootstrap --variant=minbase --include=git,ca-certificates bookworm "$fresh" "$mirror" \
    >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log" >&2; exit 1; }
  printf 'deb %s bookworm main\ndeb %s bookworm-updates main\ndeb %s bookworm-security main\n' \
    "$mirror" "$mirror" "$security" >"$fresh/etc/apt/sources.list"
  rm -rf "$fresh"/var/cache/apt/archives/*.deb "$fresh"/var/lib/apt/lists/*
  tar -C "$fresh" -cf "$tarball.new" . && mv "$tarball.new" "$tarball"
  rm -rf --one-file-system "$fresh"
  echo "$tarball"
}

# machine <root|user> <folder>: the README followed in a new root; leaves the package it built
# in <folder>/vorlin.deb and the figures in <folder>/report.
machine() {
  # Not local: the exit trap that unmounts runs after the function has returned.
  who=$1 dir=$2 root=$2/root mounted=() pids=() group=""
  local user home
  cleanup() {
    [ -n "$group" ] && kill -- -"$group" 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    # What is left running inside the root (the game's make, say), by process id.
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill "${p#/proc/}" 2>/dev/null || true
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  }
  trap cleanup EXIT
  trap "exit 1" INT TERM HUP
  log() { echo "fresh-machine ($who): $*"; }
  rm -rf --one-file-system "$dir"
  mkdir -p "$root"
  tar -C "$root" -xf "$tarball"
  chmod 755 "$root"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo localhost >"$root/etc/hostname"
  # The root runs under the host's name: resolvable, as on any installed machine.
  echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
  mount -t proc proc "$root/proc" && mounted+=("$root/proc")
  mount -t sysfs sys "$root/sys" && mounted+=("$root/sys")
  mount --bind /dev "$root/dev" && mounted+=("$root/dev")
  # The host's terminals: the pseudo-terminal sudo reads the password from is one of them.
  mount --bind /dev/pts "$root/dev/pts" && mounted+=("$root/dev/pts")
  mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")
  chroot "$root" apt-get update -qq
  if [ "$who" = root ]; then
    user=root home=/root
    ! chroot "$root" sh -c 'command -v sudo' >/dev/null || { log "FAIL: the root's machine has sudo"; exit 1; }
  else
    user=player home=/home/player
    # As a desktop installer sets up its first user: sudo with the user's own password.
    chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq sudo >/dev/null
    chroot "$root" useradd --create-home --shell /bin/bash "$user"
    echo "$user:$password" | chroot "$root" chpasswd
    chroot "$root" adduser --quiet "$user" sudo 2>/dev/null || chroot "$root" usermod -aG sudo "$user"
  fi
  # A machine as a user receives it: apt's lists fresh, its cache empty.
  chroot "$root" apt-get clean
  # The clone step's source: a copy of this repository where the README names its address.
  git clone -q --bare --no-local "$repo" "$root/srv/vorlin.git"
  chroot "$root" chown -R "$user:" /srv/vorlin.git
  local clone
  clone=$(sed 's,https://[^ ]*\.git,/srv/vorlin.git,' <<<"${top[0]}")

  # Xvfb on the host; the root shares the host's network namespace, so it reaches its socket.
  exec 5<> <(:)
  Xvfb -displayfd 5 -screen 0 1024x768x24 >/dev/null 2>&1 &
  pids+=($!)
  local num display
  read -r -t 10 num <&5 || { log "Xvfb did not start"; exit 1; }
  display=":$num"

  local typed_file=$dir/typed
  echo 0 >"$typed_file"
  enter=(python3 -c "$pty_driver" "$password" "$typed_file" chroot --userspec="$user:$user" "$root"
    /usr/bin/env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/local/bin:/usr/bin:/bin
    LANG=C.UTF-8 DISPLAY="$display" TERM=xterm bash -c)
  [ "$who" = root ] && enter=(python3 -c "$pty_driver" "$password" "$typed_file" chroot "$root"
    /usr/bin/env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
    LANG=C.UTF-8 DISPLAY="$display" TERM=xterm bash -c)
  installed_kb() { chroot "$root" dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}'; }
  packages() { chroot "$root" dpkg-query -W -f='.\n' | wc -l; }
  disk_mb() { du -sxm "$root" | cut -f1; }
  local t0 kb0 n0 d0
  measure_start() { t0=$SECONDS kb0=$(installed_kb) n0=$(packages) d0=$(disk_mb); }
  measure_end() {
    local kb n d
    kb=$(installed_kb) n=$(packages) d=$(disk_mb)
    printf '%-5s %-8s %3d min %02d s  %3d packages, %4d MB installed  disk +%d MB (with build and apt cache)\n' \
      "$who" "$1" $(((SECONDS - t0) / 60)) $(((SECONDS - t0) % 60)) $((n - n0)) $(((kb - kb0) / 1024)) $((d - d0))
  }
  log "base: $(packages) packages, $(($(installed_kb) / 1024)) MB installed"

  # First command, after the clone: until the game's window shows.
  log "running: $clone && ${top[1]}"
  measure_start
  setsid "${enter[@]}" "cd ~ && $clone && ${top[1]}" >"$dir/run.log" 2>&1 </dev/null &
  group=$!
  local shown=""
  while kill -0 "$group" 2>/dev/null; do
    shown=$(DISPLAY=$display xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null | head -1) && [ -n "$shown" ] && break
    sleep 0.5
  done
  [ -n "$shown" ] || { tail -30 "$dir/run.log"; log "FAIL: the first command ended without showing the game"; exit 1; }
  measure_end first >>"$dir/report"
  log "the game showed its window '$(DISPLAY=$display xdotool getwindowname "$shown" 2>/dev/null)'"
  kill -- -"$group" 2>/dev/null || true
  wait "$group" 2>/dev/null || true
  group=""
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill "${p#/proc/}" 2>/dev/null || true
  done

  # Second command: the whole suite.
  log "running: ${top[2]}"
  measure_start
  local status=0
  "${enter[@]}" "cd ~/vorlin && ${top[2]}" >"$dir/test.log" 2>&1 </dev/null || status=$?
  measure_end second >>"$dir/report"
  grep -aE "tests passed|tests failed|Not Run|\*\*\*Failed|\(Skipped\)" "$dir/test.log" | tail -15 || true
  [ "$status" = 0 ] || { log "FAIL: the second command ended with status $status (log: $dir/test.log)"; exit 1; }

  # The Installing section, line by line.
  measure_start
  local line
  for line in "${installing[@]}"; do
    case $line in
      *"# as root"*) [ "$who" = root ] || continue ;;
      *"# as a user"*) [ "$who" = user ] || continue ;;
    esac
    log "running: $line"
    "${enter[@]}" "cd ~/vorlin && $line" >>"$dir/install.log" 2>&1 </dev/null ||
      { tail -30 "$dir/install.log"; log "FAIL: '$line' (log: $dir/install.log)"; exit 1; }
  done
  measure_end install >>"$dir/report"
  chroot "$root" dpkg-query -W -f='${Status}' vorlin 2>/dev/null | grep -q "install ok installed" ||
    { log "FAIL: the Installing section left no vorlin package installed"; exit 1; }
  cp "$root$home"/vorlin/build/deb/vorlin_*_amd64.deb "$dir/vorlin.deb"
  echo "$who: $(cat "$typed_file") sudo passwords typed" >>"$dir/report"
  log "passed"
}

case $mode in
  root | user) modes=("$mode") ;;
  both) modes=(root user) ;;
  *) echo "usage: $0 [root|user|both] [work folder]" >&2; exit 2 ;;
esac
mkdir -p "$work"
trap 'kill "${pid[@]}" 2>/dev/null || true' EXIT
trap "exit 1" INT TERM HUP
tarball=$(base_tarball)
for who in "${modes[@]}"; do
  (machine "$who" "$work/$who") >"$work/$who.log" 2>&1 &
  pid[$who]=$!
  say "$who: started (log: $work/$who.log)"
done
failed=0
for who in "${modes[@]}"; do
  wait "${pid[$who]}" || { failed=1; tail -20 "$work/$who.log"; say "FAIL: $who"; }
done

echo
say "Debian 12 minbase with git (and sudo for the user), $(nproc) cores, ${modes[*]} at once"
for who in "${modes[@]}"; do cat "$work/$who/report" 2>/dev/null || true; done
[ "$failed" = 0 ] || exit 1
if [ ${#modes[@]} = 2 ]; then
  cmp "$work/root/vorlin.deb" "$work/user/vorlin.deb" ||
    { say "FAIL: the packages built in /root/vorlin and /home/player/vorlin differ"; exit 1; }
  say "the packages built in /root/vorlin and /home/player/vorlin are byte-identical"
fi
"$here/e2e/pristine.sh" "$work/${modes[0]}/vorlin.deb" "$work/pristine"
say "passed"
