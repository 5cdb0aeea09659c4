#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make test as a player's change runs it, timed: the seconds it spends in its tests (ctest's own
# totals; the goal is at most 120 s on 2 cores), each label's share, and the longest stretch
# without a line of output (the goal: under 30 s). Run by make bench, after the build.
# VORLIN_BENCH_RUNS=n for more runs.
set -euo pipefail
cd "$(dirname "$0")/.."
us() { echo "${EPOCHREALTIME/./}"; }
for ((run = 1; run <= ${VORLIN_BENCH_RUNS:-1}; run++)); do
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  log=build/default/bench-make-test.log
  start=$(us) last=$(us) longest=0
  while IFS= read -r line; do
    now=$(us)
    ((now - last > longest)) && longest=$((now - last))
    last=$now
    printf '%s\n' "$line"
  done < <(make test 2>&1) >"$log"
  wait $! || { tail -30 "$log"; echo "bench_make_test: make test failed (log: $log)"; exit 1; }
  now=$(us)
  ((now - last > longest)) && longest=$((now - last))
  tests=$(awk '/Total Test time \(real\)/ { s += $(NF - 1) } END { printf "%.1f", s }' "$log")
  labels=$(awk '/^[a-z0-9]+ +=  *[0-9.]+ sec\*proc/ { printf "%s%s %s s", sep, $1, $3; sep = ", " }' "$log")
  printf 'make test, run %d (load %s): %s s in its tests (goal 120 s): %s; %d s in all;\n' \
    "$run" "$load" "$tests" "$labels" $(((now - start) / 1000000))
  printf '  longest stretch without output %d.%d s (goal under 30 s)\n' \
    $((longest / 1000000)) $((longest % 1000000 / 100000))
done
