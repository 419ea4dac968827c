#!/usr/bin/env bash
# Unpacks both release archives in dist/ and checks them: one top folder, the bundle laid out as
# hosts expect it with nothing else inside, the module info and snapshots, every factory preset,
# the install text and the licence — and nothing of the build tree: no object files or
# build-system files, and no file that names the folder the package was built in.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$(pwd -P)"
version="$(sed -n 's/^  "Version": "\(.*\)",$/\1/p' build/Halvane.vst3/Contents/Resources/moduleinfo.json)"
cid="$(sed -n 's/^ *"CID": "\(.*\)",$/\1/p' build/Halvane.vst3/Contents/Resources/moduleinfo.json)"
presets="$(find build/presets -name '*.vstpreset' | wc -l)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "check-package: $archive: $*" >&2; failures=$((failures + 1)); }

# check ARCHIVE LISTING UNPACK BINARY PRESET_FOLDER
check() {
  archive="$1"
  local listing="$2" unpack="$3" binary="$4" preset_folder="$5"
  local top="Halvane-$version-${archive#*Halvane-$version-}"
  top="${top%.tar.gz}"
  top="${top%.zip}"
  [ -f "$archive" ] || { fail "missing"; return; }
  if $listing "$archive" | grep -v "^$top\(/\|$\)" | grep -q .; then
    fail "entries outside $top/ (or absolute): $($listing "$archive" | grep -v "^$top\(/\|$\)" | head -3)"
  fi
  local dir="$work/$(basename "$archive")"
  mkdir -p "$dir"
  $unpack "$archive" "$dir"
  local root="$dir/$top"

  local expected actual
  local resources=Halvane.vst3/Contents/Resources
  expected="$(printf '%s\n' "Halvane.vst3/Contents/$binary" $resources/moduleinfo.json \
    "$resources/Snapshots/${cid}_snapshot.png" "$resources/Snapshots/${cid}_snapshot_2.0x.png" | sort)"
  actual="$(cd "$root" && find Halvane.vst3 -type f | sort)"
  [ "$actual" = "$expected" ] || fail "bundle holds $(echo $actual), expected $(echo $expected)"
  [ "$(find "$root/$preset_folder/Vorkesh/Halvane" -name '*.vstpreset' | wc -l)" -eq "$presets" ] ||
    fail "expected $presets presets in $preset_folder/Vorkesh/Halvane"
  for f in INSTALL.txt LICENSE.txt; do
    [ -s "$root/$f" ] || fail "no $f"
  done
  grep -q "@VERSION@" "$root/INSTALL.txt" && fail "INSTALL.txt still holds @VERSION@"

  local leftovers
  leftovers="$(cd "$root" && find . \( -name '*.o' -o -name '*.obj' -o -name '*.a' -o -name '*.lib' \
    -o -name '*.map' -o -name '*.stamp' -o -name 'CMake*' -o -name '*.cmake' -o -name 'Makefile' \) -print)"
  [ -z "$leftovers" ] || fail "build files inside: $leftovers"
  leftovers="$(grep -r -l -a -F -e "$repo" "$root" || true)"
  [ -z "$leftovers" ] || fail "files naming the build folder: ${leftovers//$root\//}"
}

tar_list() { tar -tzf "$1" | sed 's|/$||'; }
tar_unpack() { tar -xzf "$1" -C "$2"; }
zip_list() { unzip -Z1 "$1" | sed 's|/$||'; }
zip_unpack() { unzip -q "$1" -d "$2"; }

check "dist/Halvane-$version-linux-x86_64.tar.gz" tar_list tar_unpack x86_64-linux/Halvane.so Presets
check "dist/Halvane-$version-windows-x86_64.zip" zip_list zip_unpack x86_64-win/Halvane.vst3 "VST3 Presets"

if [ "$failures" -ne 0 ]; then
  echo "check-package: $failures problem(s)" >&2
  exit 1
fi
echo "check-package: both archives hold the bundle, $presets presets, INSTALL.txt and LICENSE.txt, and nothing of the build tree"
