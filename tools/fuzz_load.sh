#!/usr/bin/env bash
# Builds the saved-game load fuzzer (clang, libFuzzer, ASan, UBSan) and runs it
# for a bounded time on a corpus seeded with valid saves; reports executions,
# coverage and findings. Exit status 1 when it found something.
# Usage: tools/fuzz_load.sh [seconds=60] [build-folder=build-fuzz] [workers=1]
# With more than one worker, libFuzzer's fork mode runs that many processes
# on the shared corpus; the figures are then the sum of them all.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-60}
build=$(realpath -m "${2:-$src/build-fuzz}")
workers=${3:-1}

extra=()
grep -q 'cmake/fuzz.cmake' "$src/CMakeLists.txt" || extra=(-DCMAKE_PROJECT_INCLUDE="$src/cmake/fuzz.cmake")
CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DTAVOREK_FUZZ=ON \
  -DTAVOREK_SANITIZE=address,undefined -DTAVOREK_BENCH=OFF "${extra[@]}" >/dev/null
cmake --build "$build" -j3 --target wld_load_fuzz >/dev/null  # a shared machine

work=$build/fuzz-load
mkdir -p "$work/corpus" "$work/findings"
WLD_FUZZ_WRITE_SEEDS="$work/corpus" "$build/wld_load_fuzz"

set +e
fork=()
[ "$workers" -gt 1 ] && fork=(-fork="$workers")
"$build/wld_load_fuzz" "${fork[@]}" -max_total_time="$secs" -print_final_stats=1 -rss_limit_mb=4096 -reload=0 \
  -dict="$src/tests/fuzz/wld_load.dict" -artifact_prefix="$work/findings/" "$work/corpus" >"$work/run.log" 2>&1
status=$?
set -e

execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/run.log")
speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/run.log")
if [ -z "$execs" ]; then  # fork mode reports progress lines only: #N: cov: ...
  execs=$(sed -n 's/^#\([0-9]*\): cov:.*/\1/p' "$work/run.log" | tail -1)
  [ -n "$execs" ] && speed=$((execs / secs))
fi
cov=$(grep -o 'cov: [0-9]*' "$work/run.log" | tail -1)
findings=$(find "$work/findings" -type f | wc -l)
echo "fuzz_load: ${secs} s, ${execs:-?} executions (${speed:-?}/s), ${cov:-cov: ?}," \
  "corpus $(find "$work/corpus" -type f | wc -l) inputs, ${findings} findings (exit ${status})"
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  grep -E 'ERROR|SUMMARY|wld_load_fuzz:|runtime error' "$work/run.log" | head -20
  echo "findings and log in $work"
  exit 1
fi
