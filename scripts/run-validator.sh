#!/usr/bin/env bash
# Steinberg's validator, normal and extensive, on the Linux bundle and (under Wine) on the Windows
# bundle. The validator lives beside the repository (../shared/tools/vst3-validator, or
# $VST3_VALIDATOR_DIR); without it this says so and succeeds. Any failed validator test fails the run.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${VST3_VALIDATOR_DIR:-$root/../shared/tools/vst3-validator}"
if [ ! -x "$dir/validator" ] && [ ! -f "$dir/validator.exe" ]; then
  echo "validator: skipped, no validator in $dir"
  exit 0
fi

status=0
# run LABEL COMMAND...: the validator's summary line, its failed tests, and the verdict.
run() {
  local label="$1" out
  shift
  out="$("$@" 2>&1)"
  local rc=$?
  local summary
  summary="$(grep -E '^Result: ' <<<"$out" | tail -n 1)"
  echo "validator $label: ${summary:-no result line}"
  grep -F '[Failed]' <<<"$out" | sed 's/^/  /'
  if [ $rc -ne 0 ] || [ -z "$summary" ] || ! grep -q ' 0 tests failed' <<<"$summary"; then
    echo "validator $label: FAILED (exit status $rc)"
    status=1
  fi
}

linux="$root/build/Halvane.vst3"
if [ -x "$dir/validator" ] && [ -d "$linux" ]; then
  run "linux" "$dir/validator" "$linux"
  run "linux -e" "$dir/validator" -e "$linux"
fi

windows="$root/build-windows/Halvane.vst3"
if [ -f "$dir/validator.exe" ] && [ -d "$windows" ]; then
  path="Z:$(tr / '\\' <<<"$windows")"
  export HALVANE_WINE_BUILD_ROOT="$root/build-windows"
  run "windows" "$root/cmake/wine-run.sh" "$dir/validator.exe" "$path"
  run "windows -e" "$root/cmake/wine-run.sh" "$dir/validator.exe" -e "$path"
fi
exit $status
