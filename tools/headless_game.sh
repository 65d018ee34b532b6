#!/usr/bin/env bash
# Builds the headless game and plays it: at least 20 game minutes (or the
# minutes given) and on until the first pyramid layer stands, then prints the
# timeline. BUILD_DIR picks the build directory (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${BUILD_DIR:-build}
cmake -S . -B "$dir" -G Ninja >/dev/null
cmake --build "$dir" -j "$(nproc)" --target headless_game
cd "$dir/run" && exec ../headless_game "$@"
