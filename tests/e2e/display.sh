# Sourced by the end-to-end scripts: a display of our own, with a window manager. Appends the
# servers' process ids to pids and exports DISPLAY; calls fail when Xvfb does not come up.
start_display() {
  exec 5<> <(:)
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  read -r -t 10 num <&5 || fail "Xvfb did not start"
  export DISPLAY=":$num"
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
}
