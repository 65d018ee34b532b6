#!/usr/bin/env bash
# Installs what a fresh machine lacks, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install_deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target tavorek
cd build/run && exec ../tavorek "$@"
