#!/usr/bin/env bash
# Pictures of the real editor window as the virtual X display shows it: OUTDIR/editor-window.png, and
# OUTDIR/editor-window-space-list.png with the "Space" list open. The Windows program holds each state
# on screen (on the display recorded in HALVANE_X_DISPLAY_FILE by cmake/xvfb.sh) until its picture is
# taken. The program and the Wine processes it started are stopped on every way out.
#   editor-window-shot.sh WINE_RUN PROGRAM OUTDIR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 WINE_RUN PROGRAM OUTDIR" >&2; exit 2; }
run=$1
program=$2
out=$3
state=${HALVANE_X_DISPLAY_FILE:?"needs the virtual display (cmake/xvfb.sh)"}
display=$(sed -n 's/^DISPLAY=//p' "$state")
prefix=$(sed -n 's/^WINEPREFIX=//p' "$state")
work=$(mktemp -d "$out/.editor-window-shot.XXXXXX")
pid=

finish() {
  local status=$?
  if [ -n "$pid" ]; then
    kill -- "-$pid" 2>/dev/null || true
  fi
  if [ "$status" -ne 0 ]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  fi
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
trap 'exit 1' INT TERM

# A session of its own, so the program, its Wine runner and what they start go as one group.
setsid "$run" "$program" "$work" &
pid=$!

# The first run on a new prefix takes a while to create it.
wait_for() {
  local file=$1
  for _ in $(seq 1800); do
    [ -s "$file" ] && return 0
    kill -0 "$pid" 2>/dev/null || { echo "the program ended before $(basename "$file")" >&2; return 1; }
    sleep 0.1
  done
  echo "timed out waiting for $(basename "$file")" >&2
  return 1
}

shots=(editor-window editor-window-space-list)
for name in "${shots[@]}"; do
  wait_for "$work/$name.geometry"
  geometry=$(cat "$work/$name.geometry")
  import -display "$display" -window root -crop "$geometry" +repage "$out/$name.png"
  touch "$work/$name.taken"
  # The host window's area, drawn: an editor face has many colours, an empty window one.
  size=$(identify -format '%wx%h' "$out/$name.png")
  colours=$(identify -format '%k' "$out/$name.png")
  if [ "$size" != "${geometry%%+*}" ] || [ "$colours" -lt 100 ]; then
    echo "$out/$name.png: $size, $colours colours; expected ${geometry%%+*} with the editor drawn" >&2
    exit 1
  fi
  echo "$out/$name.png ($size)"
done

for _ in $(seq 600); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { echo "the program did not end after the last picture" >&2; exit 1; }
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { echo "the program failed ($status)" >&2; exit 1; }
# The open list covers part of the face: compare answers 1 for pictures that differ.
status=0
compare -metric AE "$out/${shots[0]}.png" "$out/${shots[1]}.png" null: 2>/dev/null || status=$?
[ "$status" -eq 1 ] || { echo "the Space list did not show (compare: $status)" >&2; exit 1; }
