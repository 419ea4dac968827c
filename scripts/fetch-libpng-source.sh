#!/usr/bin/env bash
# Fetches libpng's upstream tarball from the distribution's source package and unpacks it, for the
# Windows build (there is no mingw-w64 libpng package). Uses a private apt configuration so the
# machine's own package sources stay untouched. Idempotent: does nothing when already unpacked.
set -euo pipefail

dest="${1:-$(cd "$(dirname "$0")/.." && pwd)/third_party/libpng}"
[ -f "$dest/png.h" ] && exit 0

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download"

# The same mirrors the machine already uses, as source entries.
found=0
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed -e 's/^Types:.*/Types: deb-src/' "$f" > "$work/$(basename "$f")"
  found=1
done
if [ -f /etc/apt/sources.list ]; then
  grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' > "$work/sources.list" || true
fi
[ "$found" = 1 ] || [ -s "$work/sources.list" ] || { echo "no apt sources found" >&2; exit 1; }
touch "$work/sources.list"

apt_opts=(
  -o "Dir::Etc::SourceList=$work/sources.list"
  -o "Dir::Etc::SourceParts=$work"
  -o "Dir::State::Lists=$work/lists"
  -o "Dir::Cache=$work/cache"
  -o "APT::Sandbox::User=root"
)
apt-get "${apt_opts[@]}" -qq update
(cd "$work/download" && apt-get "${apt_opts[@]}" -qq source --download-only --tar-only libpng1.6)

tarball="$(ls "$work"/download/libpng1.6_*.orig.tar.* | head -n 1)"
mkdir -p "$dest"
tar -xf "$tarball" -C "$dest" --strip-components=1
echo "libpng source in $dest"
