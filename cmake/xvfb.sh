#!/usr/bin/env bash
# A virtual X server for the tests that open real windows, natively or under Wine.
#   xvfb.sh start STATEFILE [WINEPREFIX] starts Xvfb on the first free display from :90 and records
#                                        DISPLAY=:N, its PID and the Wine prefix its programs use (if
#                                        any) in STATEFILE (cmake/wine-run.sh reads them from there)
#   xvfb.sh stop STATEFILE               stops the wine server of that prefix, then that Xvfb
# Stopping is safe to repeat and after a failed start; a start first stops what a run that never got
# to its stop left behind.
set -euo pipefail

usage() {
  echo "usage: $0 start STATEFILE [WINEPREFIX] | stop STATEFILE" >&2
  exit 2
}
[ $# -ge 2 ] || usage
action=$1
state=$2

# The pid only if it is still our Xvfb (a pid can be reused after the server is gone).
live_xvfb() {
  local pid=$1
  [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Xvfb" ]
}

stop_server() {
  [ -f "$state" ] || return 0
  local pid prefix
  # Wine first, while its X connections are still good; then the display.
  prefix=$(sed -n 's/^WINEPREFIX=//p' "$state")
  if [ -n "$prefix" ] && [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
  fi
  pid=$(sed -n 's/^PID=//p' "$state")
  if live_xvfb "$pid"; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      live_xvfb "$pid" || break
      sleep 0.1
    done
    if live_xvfb "$pid"; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$state"
}

connects() {
  if command -v xdpyinfo >/dev/null; then
    xdpyinfo -display ":$1" >/dev/null 2>&1
  else
    [ -S "/tmp/.X11-unix/X$1" ]
  fi
}

start_server() {
  local prefix=$1
  mkdir -p "$(dirname "$state")"
  local log="$state.log" n pid
  for n in $(seq 90 139); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    # Its own output goes to a file: a test runner waits for the pipes it handed out to close.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset </dev/null >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
      if connects "$n"; then
        printf 'DISPLAY=:%s\nPID=%s\nWINEPREFIX=%s\n' "$n" "$pid" "$prefix" >"$state"
        echo "Xvfb on :$n (pid $pid)"
        return 0
      fi
      # Another server took the number first: try the next one.
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "no X display could be started; last server log:" >&2
  cat "$log" >&2 2>/dev/null || true
  return 1
}

case "$action" in
  start)
    [ $# -le 3 ] || usage
    stop_server
    start_server "${3:-}"
    ;;
  stop) stop_server ;;
  *) usage ;;
esac
