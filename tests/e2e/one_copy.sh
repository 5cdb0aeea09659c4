#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One copy, always. Two copies started at the same instant, 100 times, over no lock, an empty
# lock and a stale one: exactly one runs each time, the other ends with status 0, and the
# record in the settings survives. Then a running copy is told to end and a new one started
# at once, 50 times: when the old one is gone, the new one runs.
# The copies draw offscreen: what is checked is the lock, and it keeps the run short.
# Usage: one_copy.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
e2e_begin one-copy od stat
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work"
lock=$work/vorlin.lock
cd "$work"

start() { "$bin" >>"$art/one-copy.log" 2>&1 & }
held_start() { sh -c 'kill -STOP $$; exec "$0"' "$bin" >>"$art/one-copy.log" 2>&1 & }
stopped() { [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = T ]; }
alive() { kill -0 "$1" 2>/dev/null; }
# The process holding the lock, from the kernel's table.
holder() {
  [ -e "$lock" ] || return 0
  local ino
  ino=$(stat -c %i "$lock")
  awk -v want=":$ino" '$2 == "FLOCK" && substr($6, length($6) - length(want) + 1) == want { print $5 }' /proc/locks
}
# Polls every 10 ms for at most $1 seconds: the copies race within milliseconds.
within() { poll_every 0.01 "$@"; }
record() { od -An -tu1 -j21 -N1 "$work/Vorlinini.vrl" | tr -d ' '; }

# A copy is ready once it holds the lock and handles SIGTERM (saves, then ends).
ready() {
  local caught
  caught=$(awk '$1 == "SigCgt:" { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$caught" ] && (((16#$caught >> 14) & 1)) && [ "$(holder)" = "$1" ]
}

# A settings file with a record of 42%, made by the game itself.
start; first=$!; pids+=($first)
within 10 ready "$first" || fail "the first copy did not start"
kill -TERM "$first"; wait "$first" || fail "the first copy did not end cleanly"
printf '\052' | dd of="$work/Vorlinini.vrl" bs=1 seek=21 conv=notrunc status=none
[ "$(record)" = 42 ] || fail "no record to keep"

# Exactly one of a and b runs: the other has ended with status 0, the one left holds the lock.
one_runs() {
  local left=()
  alive "$a" && left+=("$a")
  alive "$b" && left+=("$b")
  [ ${#left[@]} = 1 ] && ready "${left[0]}" && winner=${left[0]}
}

start=$(date +%s%N)
doubles=0
for kind in none empty stale; do
  for i in $(seq 1 34); do
    [ $doubles -lt 100 ] || break
    case $kind in
      none) rm -f "$lock" ;;
      empty) : >"$lock" ;;
      stale) echo 999999999 >"$lock" ;;
    esac
    # Each stops itself before it runs the game; one signal lets both go at the same instant.
    held_start; a=$!; held_start; b=$!; pids+=($a $b)
    within 5 eval 'stopped "$a" && stopped "$b"' || fail "the copies did not get ready to start"
    kill -CONT -- "$a" "$b"
    within 10 one_runs || fail "$kind lock, try $i: not exactly one copy running"
    loser=$a; [ "$winner" = "$a" ] && loser=$b
    wait "$loser" || fail "$kind lock, try $i: the second copy ended with status $?"
    kill -TERM "$winner"; wait "$winner" || fail "$kind lock, try $i: the game ended with status $?"
    [ "$(record)" = 42 ] || fail "$kind lock, try $i: the record is now $(record)"
    doubles=$((doubles + 1))
  done
done
echo "$doubles double starts in $((($(date +%s%N) - start) / 1000000)) ms"

# Close and restart at once: the new copy either runs or, when the old one had not begun to
# close, hands it its request; once the old one is gone the new one must be there.
start=$(date +%s%N)
start; a=$!; pids+=($a)
within 10 ready "$a" || fail "no game to restart"
for i in $(seq 1 50); do
  kill -TERM "$a"; start; b=$!; pids+=($b)
  wait "$a" || fail "restart $i: the old copy ended with status $?"
  within 10 ready "$b" || fail "restart $i: no game left"
  a=$b
done
kill -TERM "$a"; wait "$a" || fail "the last copy ended with status $?"
[ "$(record)" = 42 ] || fail "the record is now $(record)"
echo "50 restarts in $((($(date +%s%N) - start) / 1000000)) ms"
echo "e2e: 2 passed, 0 failed"
