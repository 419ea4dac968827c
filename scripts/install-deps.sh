#!/usr/bin/env bash
# Installs the Debian packages the build needs; runs apt-get only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  juce-modules-source-data libsndfile1-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev
  fonts-liberation2 fonts-dejavu-core libcairo2-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev wine wine64 xvfb
  libx11-dev libxext-dev libxtst-dev xdotool imagemagick x11-utils
  clang libclang-rt-14-dev llvm clang-format
  rev-plugins ladspa-sdk sox zip unzip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
