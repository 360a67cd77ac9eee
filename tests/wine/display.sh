# Sourced: a virtual display of our own, for Wine's X11 driver.
#   zelk_start_display DIR  starts Xvfb on a free display number (Xvfb picks it and tells it
#                           on fd 3), exports DISPLAY; the server's log is DIR/xvfb.log and
#                           its screen ZELK_SCREEN (default 800x600x24)
#   zelk_stop_display       ends it (nothing to do when none runs)
zelk_display_pid=

zelk_start_display() {
  local number display=
  command -v Xvfb >/dev/null || { echo "missing Xvfb: run scripts/install-deps" >&2; return 1; }
  number=$(mktemp "$1/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "${ZELK_SCREEN:-800x600x24}" -nolisten tcp 3>"$number" >"$1/xvfb.log" 2>&1 &
  zelk_display_pid=$!
  for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
  [ -s "$number" ] && display=$(head -n1 "$number")
  rm -f "$number"
  [ -n "$display" ] || { echo "Xvfb did not start (see $1/xvfb.log)" >&2; return 1; }
  export DISPLAY=:$display
}

zelk_stop_display() {
  [ -n "$zelk_display_pid" ] || return 0
  kill "$zelk_display_pid" 2>/dev/null || true
  wait "$zelk_display_pid" 2>/dev/null || true
  zelk_display_pid=
}
