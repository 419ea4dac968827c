#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: quiet, headless, in a prefix of the build tree.
# With HALVANE_X_DISPLAY_FILE naming the state file of cmake/xvfb.sh, it runs on that virtual display
# instead, in the prefix recorded there: a prefix of its own, so that stopping its wine server when the
# display goes away leaves the headless tests alone.
set -euo pipefail
build_root="${HALVANE_WINE_BUILD_ROOT:-$(pwd)}"
while [ "$build_root" != "/" ] && [ ! -f "$build_root/CMakeCache.txt" ]; do build_root="$(dirname "$build_root")"; done
[ -f "$build_root/CMakeCache.txt" ] || build_root="$(pwd)"
export WINEDEBUG=-all
if [ -n "${HALVANE_X_DISPLAY_FILE:-}" ]; then
  display=$(sed -n 's/^DISPLAY=//p' "$HALVANE_X_DISPLAY_FILE" 2>/dev/null || true)
  prefix=$(sed -n 's/^WINEPREFIX=//p' "$HALVANE_X_DISPLAY_FILE" 2>/dev/null || true)
  if [ -z "$display" ] || [ -z "$prefix" ]; then
    echo "$0: no virtual display recorded in $HALVANE_X_DISPLAY_FILE (started by cmake/xvfb.sh)" >&2
    exit 1
  fi
  export DISPLAY="$display"
  export WINEPREFIX="$prefix"
  # No menu entries or file associations in the user's desktop from a prefix that can see a display.
  export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
  managed_off=1
else
  export DISPLAY=
  export WINEPREFIX="$build_root/wineprefix"
  export WINEDLLOVERRIDES="mscoree,mshtml="
fi
# The first run creates the prefix (about ten seconds); parallel test runs wait for it.
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
  # The virtual display has no window manager: Wine places and frames the windows itself instead of
  # waiting for one (two seconds each time a top-level window goes away).
  if [ -n "${managed_off:-}" ] && ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
) 9>"$WINEPREFIX.lock"
# A client that starts while the previous server shuts down loses its connection ("wine client
# error") or dies before the program prints anything; such a run says nothing about the program,
# so it is run again, once.
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
status=0
wine "$@" > >(tee "$out") 2> >(tee "$err" >&2) || status=$?
wait
if [ "$status" -ne 0 ] && { grep -q "wine client error" "$err" || [ ! -s "$out" ]; }; then
  sleep 1
  status=0
  wine "$@" || status=$?
fi
exit "$status"
