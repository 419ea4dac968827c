#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: quiet, headless, in a prefix of the build tree.
set -euo pipefail
build_root="${HALVANE_WINE_BUILD_ROOT:-$(pwd)}"
while [ "$build_root" != "/" ] && [ ! -f "$build_root/CMakeCache.txt" ]; do build_root="$(dirname "$build_root")"; done
[ -f "$build_root/CMakeCache.txt" ] || build_root="$(pwd)"
export WINEPREFIX="$build_root/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
# The first run creates the prefix (about ten seconds); parallel test runs wait for it.
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
) 9>"$build_root/wineprefix.lock"
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
