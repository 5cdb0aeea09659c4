# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced. progress <log> <what> <command...>: runs the command with its whole output in <log>
# and, every 15 s while it runs, prints the log's latest short line (a compiler's command line
# says nothing to a reader), so a step of minutes is never silent. Returns the command's status.
progress() {
  local log=$1 what=$2 pid start=$SECONDS next=$((SECONDS + 15)) status=0
  shift 2
  "$@" >"$log" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if ((SECONDS >= next)); then
      echo "$what, $((SECONDS - start)) s: $(awk 'length($0) <= 160 && NF { l = $0 } END { print l }' "$log")"
      next=$((SECONDS + 15))
    fi
    sleep 0.5
  done
  wait "$pid" || status=$?
  return "$status"
}
