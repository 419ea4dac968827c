#!/usr/bin/env bash
# Writes the release archives into dist/ from the two build trees:
#   Halvane-<version>-linux-x86_64.tar.gz and Halvane-<version>-windows-x86_64.zip,
# each one folder holding the bundle, the factory presets laid out as the platform's preset
# folder expects them, the platform's install text and the licence. The binaries are stripped:
# their debug information names our build folders and is of no use to anyone installing.
set -euo pipefail
cd "$(dirname "$0")/.."

module_info=build/Halvane.vst3/Contents/Resources/moduleinfo.json
version="$(sed -n 's/^  "Version": "\(.*\)",$/\1/p' "$module_info")"
[ -n "$version" ] || { echo "package: no version in $module_info" >&2; exit 1; }

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir -p dist

# The date every file gets: the last commit's, so two packages of one commit are alike.
stamp="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}"

# stage_platform BUILD_DIR PLATFORM INSTALL_TEXT STRIP PRESET_FOLDER LINE_END: prints the staging folder.
stage_platform() {
  local build="$1" platform="$2" install_text="$3" strip_tool="$4" presets="$5" crlf="$6"
  local root="$stage/$platform/Halvane-$version-$platform"
  mkdir -p "$root/$presets"
  cp -r "$build/Halvane.vst3" "$root/"
  find "$root/Halvane.vst3/Contents" -path '*/x86_64-*' -type f -exec "$strip_tool" --strip-unneeded {} \;
  cp -r "$build/presets/." "$root/$presets/"
  sed "s/@VERSION@/$version/" "packaging/INSTALL-$install_text.txt" >"$root/INSTALL.txt"
  cp LICENSE "$root/LICENSE.txt"
  if [ "$crlf" = crlf ]; then
    sed -i 's/$/\r/' "$root/INSTALL.txt" "$root/LICENSE.txt"
  fi
  find "$root" -exec touch -d "@$stamp" {} +
  find "$root" -type d -exec chmod 755 {} + && find "$root" -type f -exec chmod 644 {} +
  find "$root" -path '*/x86_64-*' -type f -exec chmod 755 {} +
  echo "$stage/$platform"
}

dir="$(stage_platform build linux-x86_64 linux strip Presets lf)"
tar -C "$dir" --sort=name --owner=0 --group=0 --numeric-owner -czf "dist/Halvane-$version-linux-x86_64.tar.gz" \
  "Halvane-$version-linux-x86_64"

dir="$(stage_platform build-windows windows-x86_64 windows x86_64-w64-mingw32-strip "VST3 Presets" crlf)"
rm -f "dist/Halvane-$version-windows-x86_64.zip"
(cd "$dir" && find "Halvane-$version-windows-x86_64" | LC_ALL=C sort | zip -qX -@ \
  "$OLDPWD/dist/Halvane-$version-windows-x86_64.zip")

echo "package: dist/Halvane-$version-linux-x86_64.tar.gz dist/Halvane-$version-windows-x86_64.zip"
