#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: built by CPack, checked by lintian when it is there, installed, started
# from its desktop entry under Xvfb; it must find its resources and keep its settings in the
# per-user data directory, and start even when that directory holds a resource folder of its
# own. Also its icons, manual page, licence, and --version beside a running game.
# Usage: package.sh <build folder> <artifact folder>
set -euo pipefail
build=$(readlink -f "$1") art=$2
[ "$(id -u)" = 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
for tool in Xvfb openbox xdotool wmctrl dpkg cpack identify; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if dpkg-query -W -f='${Status}' vorlin 2>/dev/null | grep -q "install ok installed"; then
  echo "SKIP: a vorlin package is installed already; not touching it"
  exit 77
fi
unset QT_QPA_PLATFORM
mkdir -p "$art"
home=$(mktemp -d) home2=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  dpkg -r vorlin >/dev/null 2>&1 || true
  rm -rf "$home" "$home2"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; import -window root "$art/package-failure.png" 2>/dev/null || true; exit 1; }

(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack"
deb=$(ls "$build"/vorlin_*_amd64.deb | head -1)
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$art/lintian.log" 2>&1 || { cat "$art/lintian.log"; fail "lintian reports errors"; }
fi
dpkg -i "$deb" >/dev/null || fail "dpkg -i $deb"
appstreamcli validate --no-net /usr/share/metainfo/org.example.Vorlin.metainfo.xml >/dev/null 2>&1 ||
  { command -v appstreamcli >/dev/null && fail "AppStream metadata does not validate"; }
entry=/usr/share/applications/org.example.Vorlin.desktop
[ -f "$entry" ] || fail "no desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$(sed -n 's/^StartupWMClass=//p' "$entry")" = Vorlin ] || fail "the desktop entry names no window class Vorlin"

# The icons, every usual size and the scalable one; the manual page; the licence.
icons=/usr/share/icons/hicolor
for n in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$icons/${n}x$n/apps/vorlin.png" 2>/dev/null)" = "${n}x$n" ] || fail "no ${n}x$n icon"
done
grep -q '<svg' "$icons/scalable/apps/vorlin.svg" || fail "no scalable icon"
zcat /usr/share/man/man6/vorlin.6.gz | grep -q '^vorlin \\- ' || fail "no manual page vorlin(6)"
grep -q '^License: GPL-3.0+$' /usr/share/doc/vorlin/copyright || fail "no GPL-3.0+ in the copyright file"
zcat /usr/share/doc/vorlin/changelog.Debian.gz | head -1 | grep -q '^vorlin (' || fail "no Debian changelog"

. "$(dirname "$0")/common.sh"
e2e_name=package
start_display

waitwindow() {
  found=""
  for _ in $(seq 300); do
    found=$(xdotool search --onlyvisible --name '^Vorlin$' 2>/dev/null | head -1) && [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ]
}
closed() {
  wmctrl -c Vorlin
  for _ in $(seq 100); do [ -f "$1/Vorlinini.vrl" ] && break; sleep 0.1; done
  [ "$(stat -c %s "$1/Vorlinini.vrl" 2>/dev/null)" = 22 ]
}

# From somewhere that holds no resources, as a desktop menu would start it.
export PATH=$PATH:/usr/games
(cd / && HOME=$home XDG_DATA_HOME= TMPDIR=$home exec $exec_line) >"$art/package.log" 2>&1 &
first=$!
pids+=($first)
waitwindow || fail "the installed game shows no window"
data="$home/.local/share/vorlin"
[ -f "$data/Vorlin107_rsc/Beam.wav" ] || fail "the resources are not reachable from $data"
# --version answers beside the running game and touches nothing, wherever it runs.
version=$(cd "$home2" && HOME=$home2 TMPDIR=$home /usr/games/vorlin --version) || fail "--version failed"
v=$(dpkg-query -W -f='${Version}' vorlin)
[ "$version" = "Vorlin ${v%-*}" ] || fail "--version printed '$version'"
[ -z "$(ls -A "$home2")" ] || fail "--version wrote $(ls -A "$home2")"
sleep 0.5
closed "$data" || fail "no settings file in $data"

# A real resource folder where the launcher keeps its link (restored from a backup, say): the
# game still starts, on the installed resources, and the folder stays as it was.
data2="$home2/.local/share/vorlin"
mkdir -p "$data2/Vorlin107_rsc"
echo mine >"$data2/Vorlin107_rsc/note"
for _ in $(seq 50); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
(cd / && HOME=$home2 XDG_DATA_HOME= TMPDIR=$home2 exec $exec_line) >>"$art/package.log" 2>&1 &
pids+=($!)
waitwindow || fail "the game does not start beside a real resource folder"
[ ! -L "$data2/Vorlin107_rsc" ] && [ "$(ls -A "$data2/Vorlin107_rsc")" = note ] || fail "the real resource folder was touched"
cwd=$(readlink "/proc/$(xdotool getwindowpid "$found")/cwd")
[ -f "$cwd/Vorlin107_rsc/Beam.wav" ] || fail "the game beside a real resource folder has no resources in $cwd"
sleep 0.5
closed "$cwd" || fail "no settings file in $cwd"
echo "package: 1 passed, 0 failed"
