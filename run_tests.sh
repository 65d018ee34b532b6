#!/usr/bin/env bash
# Installs what a fresh machine lacks, builds, and runs every test:
# the whole suite, then the threaded tests under ThreadSanitizer and the
# unit tests under AddressSanitizer with UndefinedBehaviorSanitizer.
# Warnings are errors in every build. The sanitizer builds compile at a lower
# priority while the whole suite runs, so its real-time tests keep the CPU
# they need. The game tests that play minutes of game time (label "long")
# run in the whole suite only: instrumented they take minutes each.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install_deps.sh
JOBS=$(nproc)
UNIT_PROGRAMS=(tests_core tests_crowd tests_sim tests_gfx tests_draw tests_ui tests_sound tests_stats
  tests_shell)

# Every source keeps the one style of .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

configure() {  # configure DIR [cmake args...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DTAVOREK_WERROR=ON "$@" >/dev/null
}
# Every build keeps line tables only: the crash log and the sanitizers' reports
# need no more, and the three builds compile in less time.
configure build "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
configure build-tsan -DTAVOREK_SANITIZE=thread -DTAVOREK_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1
configure build-asan -DTAVOREK_SANITIZE=address,undefined -DTAVOREK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"

time cmake --build build -j "$JOBS"

# Each sanitizer build makes only what it runs: ThreadSanitizer the programs
# of the thread pool's and the field jobs' tests, AddressSanitizer every test
# program and the run folder's files (the game and the tools are built above).
sanitizer_builds() {
  nice -n 10 cmake --build build-tsan -j "$JOBS" --target tests_core tests_sim &&
    nice -n 10 cmake --build build-asan -j "$JOBS" --target generated_assets sounds layer_check \
      "${UNIT_PROGRAMS[@]}"
}
time sanitizer_builds >build/sanitizers.log 2>&1 &
SANITIZERS=$!

# ctest runs each test in a process of its own. Here each unit program runs
# whole, every test twice in one process in shuffled order, so a test that
# leaves something behind for another fails (the long game tests are left
# out); side by side, while the sanitizer builds compile.
repeat_pass() {
  printf '%s\n' "${UNIT_PROGRAMS[@]}" | (cd build/tests &&
    SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null xargs -P "$JOBS" -I{} sh -c \
      './{} --gtest_repeat=2 --gtest_shuffle --gtest_filter=-GameTest.* >{}.twice.log 2>&1 ||
       { echo "{}:"; grep -E -A6 "Randomizing|Failure|FAILED" {}.twice.log | head -n 60; exit 1; }')
}

rc=0
(cd build && time ctest --output-on-failure -j "$JOBS") || rc=$?
time repeat_pass || rc=1
wait "$SANITIZERS" || { cat build/sanitizers.log; exit 1; }
tail -n 4 build/sanitizers.log
[ "$rc" -eq 0 ] || exit "$rc"

(cd build-tsan && time TSAN_OPTIONS="halt_on_error=1" ctest --output-on-failure -j "$JOBS" -LE e2e -R 'ThreadPool|FieldJobs')
(cd build-asan && time ASAN_OPTIONS="detect_leaks=0" ctest --output-on-failure -j "$JOBS" -LE 'e2e|long')
