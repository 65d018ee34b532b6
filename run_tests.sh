#!/usr/bin/env bash
# Installs what a fresh machine lacks, builds, and runs every test:
# the whole suite, then the threaded tests under ThreadSanitizer and the
# unit tests under AddressSanitizer with UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install_deps.sh
JOBS=$(nproc)

build() {  # build DIR [cmake args...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

build build
(cd build && ctest --output-on-failure -j "$JOBS")

build build-tsan -DTAVOREK_SANITIZE=thread -DTAVOREK_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1" ctest --output-on-failure -j "$JOBS" -LE e2e -R 'ThreadPool|FieldJobs')

build build-asan -DTAVOREK_SANITIZE=address,undefined -DTAVOREK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build-asan && ASAN_OPTIONS="detect_leaks=0" ctest --output-on-failure -j "$JOBS" -LE e2e)
