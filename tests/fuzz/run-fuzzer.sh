#!/usr/bin/env bash
# run-fuzzer.sh FUZZER WORK_DIR CORPUS_DIR [libFuzzer options...]
# Runs every input of the committed corpus first, then fuzzes from it; new inputs land in WORK_DIR, a crashing input in
# WORK_DIR/artifacts. Fails on any crash, leak, timeout or sanitizer report.
set -euo pipefail
fuzzer="$1" work="$2" corpus="$3"
shift 3
mkdir -p "$work/corpus" "$work/artifacts"
exec "$fuzzer" -print_final_stats=1 -timeout=30 -rss_limit_mb=4096 -artifact_prefix="$work/artifacts/" \
  "$@" "$work/corpus" "$corpus"
