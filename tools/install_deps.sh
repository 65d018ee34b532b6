#!/usr/bin/env bash
# Installs every Debian package the game, its tools and its tests need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
PKGS=(
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  libsdl2-dev libx11-dev libchipmunk-dev libopenal-dev libalut-dev zlib1g-dev libepoxy-dev
  libgtest-dev libbenchmark-dev libgcc-12-dev gdb
  xvfb xauth xdotool x11-utils x11-apps imagemagick python3 libgl1-mesa-dri libglx-mesa0 libegl-mesa0 libopenal1 sox
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
