#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One copy, always. Two copies started at the same instant, 100 times, over no lock, the lock
# of a crashed copy and a stale one: exactly one runs each time, the other ends with status 0,
# and the record in the settings survives. The same, 20 times each, for two starts of one
# home whose XDG_RUNTIME_DIR differs: private, unset, a folder shared with everyone. Then a
# running copy is told to end and a new one started at once, 50 times: when the old one is
# gone, the new one runs. On the way: SIGPIPE ends nothing, SIGUSR2 and SIGALRM save and end,
# a better record written while a copy runs survives its close, and a lock held by something
# that is not the game stops a start, with a word.
# The copies draw offscreen: what is checked is the lock, and it keeps the run short.
# Usage: one_copy.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
e2e_begin one-copy od stat
# The lock is found from the home: this one's own, so a game the developer plays is not met.
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy HOME="$work" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"
lock=$work/.local/state/vorlin/vorlin.lock
cd "$work"

start() { "$bin" >>"$art/one-copy.log" 2>&1 & }
# held_start [env arguments]: a copy stopped just before it runs, in the environment given.
held_start() { env "$@" sh -c 'kill -STOP $$; exec "$0"' "$bin" >>"$art/one-copy.log" 2>&1 & }
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
set_record() { printf "\\$(printf %o "$1")" | dd of="$work/Vorlinini.vrl" bs=1 seek=21 conv=notrunc status=none; }

# A copy is ready once it holds the lock and handles SIGTERM (saves, then ends).
ready() {
  local caught
  caught=$(awk '$1 == "SigCgt:" { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$caught" ] && (((16#$caught >> 14) & 1)) && [ "$(holder)" = "$1" ]
}

# A settings file with a record of 42%, made by the game itself, which a closed pipe does not
# end and SIGUSR2 ends as SIGTERM does.
start; first=$!; pids+=($first)
within 10 ready "$first" || fail "the first copy did not start"
kill -PIPE "$first"; sleep 0.2
alive "$first" || fail "SIGPIPE ended the game"
kill -USR2 "$first"; wait "$first" || fail "the first copy did not end cleanly on SIGUSR2"
set_record 42
[ "$(record)" = 42 ] || fail "no record to keep"

# The lock of a copy that crashed, kept to be put back before each try below.
start; crashed=$!; pids+=($crashed)
within 10 ready "$crashed" || fail "the copy to crash did not start"
kill -KILL "$crashed"; { wait "$crashed"; } 2>/dev/null || true
cp "$lock" "$work/crashed.lock"

# Exactly one of a and b runs: the other has ended with status 0, the one left holds the lock.
one_runs() {
  local left=()
  alive "$a" && left+=("$a")
  alive "$b" && left+=("$b")
  [ ${#left[@]} = 1 ] && ready "${left[0]}" && winner=${left[0]}
}

# double_start <what> <env of b...>: a with this script's environment, b with the one given;
# each stops itself before it runs the game, and one signal lets both go at the same instant.
double_start() {
  local what=$1; shift
  held_start; a=$!; held_start "$@"; b=$!; pids+=($a $b)
  within 5 eval 'stopped "$a" && stopped "$b"' || fail "the copies did not get ready to start"
  kill -CONT -- "$a" "$b"
  within 10 one_runs || fail "$what: not exactly one copy running"
  loser=$a; [ "$winner" = "$a" ] && loser=$b
  wait "$loser" || fail "$what: the second copy ended with status $?"
  kill -TERM "$winner"; wait "$winner" || fail "$what: the game ended with status $?"
  [ "$(record)" = 42 ] || fail "$what: the record is now $(record)"
}

start=$(date +%s%N)
doubles=0
for kind in none crashed stale; do
  for i in $(seq 1 34); do
    [ $doubles -lt 100 ] || break
    rm -f "$lock"
    case $kind in
      crashed) cp "$work/crashed.lock" "$lock" ;;
      stale) echo 999999999 >"$lock" ;;
    esac
    double_start "$kind lock, try $i"
    doubles=$((doubles + 1))
  done
done
echo "$doubles double starts in $((($(date +%s%N) - start) / 1000000)) ms"

# One home, three environments: XDG_RUNTIME_DIR (and TMPDIR) private, unset, shared.
start=$(date +%s%N)
mkdir -m 700 "$work/run2"; mkdir -m 1777 "$work/shared"
for i in $(seq 1 20); do
  double_start "XDG_RUNTIME_DIR private, try $i" XDG_RUNTIME_DIR="$work/run2" TMPDIR="$work/run2"
  double_start "XDG_RUNTIME_DIR unset, try $i" -u XDG_RUNTIME_DIR -u TMPDIR
  double_start "XDG_RUNTIME_DIR shared, try $i" XDG_RUNTIME_DIR="$work/shared" TMPDIR="$work/shared"
done
echo "60 double starts of one home in three environments in $((($(date +%s%N) - start) / 1000000)) ms"

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
echo "50 restarts in $((($(date +%s%N) - start) / 1000000)) ms"
# A better record written meanwhile (by a copy of another home in this folder, by hand)
# survives the close of the copy that loaded 42.
set_record 77
kill -ALRM "$a"; wait "$a" || fail "the last copy ended with status $? on SIGALRM"
[ "$(record)" = 77 ] || fail "the record is now $(record), not the 77 written meanwhile"

# A lock that a process which is not the game holds: a start waits for an answer, says so and
# ends; it never runs a second game beside whatever holds the lock.
rm -f "$lock"
mkdir -p "${lock%/*}"
(exec 9>"$lock"; flock 9; exec sleep 30) & squatter=$!; pids+=($squatter)
within 5 eval '[ -n "$(holder)" ]' || fail "flock did not take the lock"
set +e
"$bin" >"$art/one-copy-held.log" 2>&1
status=$?
set -e
[ "$status" = 0 ] || fail "a start beside a held lock ended with status $status"
grep -q "no copy answers" "$art/one-copy-held.log" || fail "a start beside a held lock said nothing"
kill "$squatter"
echo "e2e: 4 passed, 0 failed"
