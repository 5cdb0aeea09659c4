#!/usr/bin/env bash
# The Debian package: built by CPack, installed, started from its desktop entry under Xvfb;
# it must find its resources and keep its settings in the per-user data directory.
# Usage: package.sh <build folder> <artifact folder>
set -euo pipefail
build=$(readlink -f "$1") art=$2
[ "$(id -u)" = 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
for tool in Xvfb openbox xdotool wmctrl dpkg cpack; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if dpkg-query -W -f='${Status}' vorlin 2>/dev/null | grep -q "install ok installed"; then
  echo "SKIP: a vorlin package is installed already; not touching it"
  exit 77
fi
unset QT_QPA_PLATFORM
mkdir -p "$art"
home=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  dpkg -r vorlin >/dev/null 2>&1 || true
  rm -rf "$home"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; import -window root "$art/package-failure.png" 2>/dev/null || true; exit 1; }

(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack"
deb=$(ls "$build"/vorlin_*_amd64.deb | head -1)
dpkg -i "$deb" >/dev/null || fail "dpkg -i $deb"
appstreamcli validate --no-net /usr/share/metainfo/org.example.Vorlin.metainfo.xml >/dev/null 2>&1 ||
  { command -v appstreamcli >/dev/null && fail "AppStream metadata does not validate"; }
entry=/usr/share/applications/org.example.Vorlin.desktop
[ -f "$entry" ] || fail "no desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")

. "$(dirname "$0")/display.sh"
start_display

# From somewhere that holds no resources, as a desktop menu would start it.
(cd / && HOME=$home XDG_DATA_HOME= TMPDIR=$home exec $exec_line) >"$art/package.log" 2>&1 &
pids+=($!)
found=""
for _ in $(seq 300); do
  found=$(xdotool search --onlyvisible --name '^Vorlin$' 2>/dev/null | head -1) && [ -n "$found" ] && break
  sleep 0.1
done
[ -n "$found" ] || fail "the installed game shows no window"
data="$home/.local/share/vorlin"
[ -f "$data/Vorlin107_rsc/Beam.wav" ] || fail "the resources are not reachable from $data"
sleep 0.5
wmctrl -c Vorlin
for _ in $(seq 100); do [ -f "$data/Vorlinini.vrl" ] && break; sleep 0.1; done
[ "$(stat -c %s "$data/Vorlinini.vrl" 2>/dev/null)" = 22 ] || fail "no settings file in $data"
echo "package: 1 passed, 0 failed"
