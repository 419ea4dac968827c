#!/usr/bin/env bash
# run-fuzzer.sh FUZZER WORK_DIR CORPUS_DIR [libFuzzer options...]
# Runs every input of the committed corpus first, then fuzzes from it; new inputs land in WORK_DIR, a crashing input in
# WORK_DIR/artifacts. Fails on any crash, leak, timeout, sanitizer report or allocation over 256 MB. A dictionary
# NAME.dict beside this script goes with the fuzzer NAME.
# Leaks are looked for once, when the run ends (ASAN_OPTIONS=detect_leaks=1): libFuzzer's own search after every input
# whose allocations outnumber its frees runs that input again, and an instance kept across inputs does that often.
set -euo pipefail
fuzzer="$1" work="$2" corpus="$3"
shift 3
dict="$(dirname "$0")/$(basename "$fuzzer").dict"
if [ -f "$dict" ]; then
  set -- -dict="$dict" "$@"
fi
mkdir -p "$work/corpus" "$work/artifacts"
exec "$fuzzer" -print_final_stats=1 -timeout=30 -rss_limit_mb=4096 -malloc_limit_mb=256 -detect_leaks=0 \
  -artifact_prefix="$work/artifacts/" "$@" "$work/corpus" "$corpus"
