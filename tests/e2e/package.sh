#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built from debian/ as Debian builds it (packaging/build-deb.sh), and the
# source package of a clean clone (make dist, dpkg-buildpackage -S), both checked by lintian
# (nothing but the overridden tags); the binary by hardening-check and its control fields, then
# unpacked and started from its desktop entry under Xvfb: it must find its resources and keep
# its settings in the per-user data directory, and start even when that directory holds a
# resource folder of its own. Also its icons, manual page, licence, and --version beside a
# running game. Needs no root: the package is unpacked, not installed; installing it with apt
# on a machine that has nothing else is tests/e2e/pristine.sh's part.
# Usage: package.sh <build folder> <artifact folder>
set -euo pipefail
build=$(readlink -f "$1") art=$2
here=$(cd "$(dirname "$0")" && pwd)
# A missing tool fails the test: a check skipped quietly is a check nobody runs.
for tool in dpkg-buildpackage dh cmake lintian hardening-check file Xvfb openbox xdotool wmctrl identify appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh release installs it)"; exit 1; }
done
echo "not checked here: apt-get install into a machine that has nothing else (tests/e2e/pristine.sh, in make check-release)"
unset QT_QPA_PLATFORM
mkdir -p "$art"
root=$(mktemp -d) home=$(mktemp -d) home2=$(mktemp -d) sources=$(mktemp -d)
pids=()
. "$here/common.sh"
e2e_name=package
. "$here/progress.sh"
cleanup() {
  stop_processes "${pids[@]}"
  rm -rf "$root" "$home" "$home2" "$sources"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; import -window root "$art/package-failure.png" 2>/dev/null || true; exit 1; }

progress "$art/package-build.log" "packaging/build-deb.sh" "$here/../../packaging/build-deb.sh" "$build/deb" ||
  { tail -30 "$art/package-build.log"; fail "packaging/build-deb.sh (log: $art/package-build.log)"; }
deb=$(ls "$build"/deb/vorlin_*_amd64.deb)
ls "$build"/deb/vorlin-dbgsym_*_amd64.deb >/dev/null 2>&1 || fail "no -dbgsym package"
echo "package: built $(basename "$deb")"

# The source package from a clean clone of HEAD, as a reviewer builds it: make dist writes the
# upstream tarball beside the clone, where dpkg-buildpackage -S looks for it.
changes=""
if git -C "$here/../.." rev-parse -q --verify HEAD >/dev/null; then
  echo "not checked here: uncommitted changes, in the source package (a clone of HEAD)"
  git clone -q --no-local "$here/../.." "$sources/vorlin"
  progress "$art/package-source.log" "dpkg-buildpackage -S" \
    sh -c 'make -C "$1" dist && cd "$1" && dpkg-buildpackage -S -us -uc' sh "$sources/vorlin" ||
    { tail -30 "$art/package-source.log"; fail "make dist, dpkg-buildpackage -S (log: $art/package-source.log)"; }
  changes=$(ls "$sources"/vorlin_*_source.changes)
  echo "package: built $(basename "$changes")"
else
  echo "not checked here: the source package (the tree is no git checkout)"
fi

# As root lintian also warns about that; the packages themselves must give no line at all.
progress "$art/lintian.log" "lintian" lintian --pedantic --display-info "$deb" $changes || true
grep -v '^running with root privileges' "$art/lintian.log" >"$art/lintian-tags.log" || true
[ ! -s "$art/lintian-tags.log" ] || { cat "$art/lintian-tags.log"; fail "lintian reports tags that debian/vorlin.lintian-overrides does not list"; }
echo "package: lintian --pedantic is quiet on $(basename "$deb") ${changes:+and $(basename "$changes")}"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libsdl2-2.0-0 libqt6widgets6 fonts-dejavu-core; do
  [[ ", $depends," == *", $d"[\ ,]* ]] || fail "Depends lacks $d: $depends"
done

dpkg-deb -x "$deb" "$root"
# Every object is built for control-flow protection (-fcf-protection), but Debian 12's C start
# files carry no CET note, so the linker marks no executable there, ours as none of the
# system's: that line alone cannot say yes on this system.
echo "not checked here: control-flow integrity marking (no executable linked on Debian 12 has it)"
hardening-check --nocfprotection "$root/usr/lib/games/vorlin/vorlin" >"$art/hardening.log" 2>&1 ||
  { cat "$art/hardening.log"; fail "hardening-check"; }
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.Vorlin.metainfo.xml" >/dev/null 2>&1 ||
  fail "AppStream metadata does not validate"
entry=$root/usr/share/applications/org.example.Vorlin.desktop
[ -f "$entry" ] || fail "no desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$(sed -n 's/^StartupWMClass=//p' "$entry")" = Vorlin ] || fail "the desktop entry names no window class Vorlin"

# The icons, every usual size and the scalable one; the manual page; the licence.
icons=$root/usr/share/icons/hicolor
for n in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$icons/${n}x$n/apps/vorlin.png" 2>/dev/null)" = "${n}x$n" ] || fail "no ${n}x$n icon"
done
grep -q '<svg' "$icons/scalable/apps/vorlin.svg" || fail "no scalable icon"
zcat "$root/usr/share/man/man6/vorlin.6.gz" | grep -q '^vorlin \\- ' || fail "no manual page vorlin(6)"
grep -q '^License: GPL-3+$' "$root/usr/share/doc/vorlin/copyright" || fail "no GPL-3+ in the copyright file"
zcat "$root/usr/share/doc/vorlin/changelog.Debian.gz" | head -1 | grep -q '^vorlin (' || fail "no Debian changelog"

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

# From somewhere that holds no resources, as a desktop menu would start it; the launcher finds
# the game and its resources beside itself, wherever the package is unpacked.
export PATH=$root/usr/games:$PATH
(cd / && HOME=$home XDG_DATA_HOME= TMPDIR=$home exec $exec_line) >"$art/package.log" 2>&1 &
first=$!
pids+=($first)
waitwindow || fail "the packaged game shows no window"
data="$home/.local/share/vorlin"
[ -f "$data/Vorlin107_rsc/Beam.wav" ] || fail "the resources are not reachable from $data"
# --version answers beside the running game and touches nothing, wherever it runs.
version=$(cd "$home2" && HOME=$home2 TMPDIR=$home vorlin --version) || fail "--version failed"
v=$(dpkg-deb -f "$deb" Version)
[ "$version" = "Vorlin ${v%-*}" ] || fail "--version printed '$version'"
[ -z "$(ls -A "$home2")" ] || fail "--version wrote $(ls -A "$home2")"
sleep 0.5
closed "$data" || fail "no settings file in $data"

# A real resource folder where the launcher keeps its link (restored from a backup, say): the
# game still starts, on the packaged resources, and the folder stays as it was.
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
