#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite three ways:
# a plain build, a build under AddressSanitizer + UBSan, and the fuzz targets for a bounded time;
# besides, the device and rasterizer tests (the code with threads) under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
fuzz_seconds=${QV_FUZZ_SECONDS:-30}

echo "== plain build"
# Options are cached per build folder: state every one, so a folder configured by run.sh
# (tests off) still builds and runs the tests here.
cmake -S . -B build -DQV_TESTS=ON -DQV_BENCH=ON -DQV_SANITIZE=OFF -DQV_FUZZ=OFF >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -DQV_TESTS=ON -DQV_SANITIZE=ON -DQV_BENCH=OFF -DQV_FUZZ=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside the desktop libraries (D-Bus, SDL, X, fontconfig) are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
(cd build-asan && ctest --output-on-failure --no-tests=error -j"$jobs")

echo "== ThreadSanitizer build of the device and rasterizer tests"
# Only the Direct3D stand-in's tests: its drawing threads are the program's only concurrency
# worth checking, and the rest of the suite would take long under ThreadSanitizer. Tests of the
# targets not built here are listed as *_NOT_BUILT and left out.
tsan_flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B build-tsan -DQV_TESTS=ON -DQV_SANITIZE=OFF -DQV_BENCH=OFF -DQV_FUZZ=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$tsan_flags" -DCMAKE_CXX_FLAGS="$tsan_flags" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build-tsan -j"$jobs" --target test_d3d8 d3d8_render
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --output-on-failure --no-tests=error -j"$jobs" -E '_NOT_BUILT$')

echo "== fuzz targets, ${fuzz_seconds}s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$jobs"
for f in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="tests/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  log=$(mktemp)
  echo "-- $name"
  # A clean run shows its last lines; a failing one shows the whole report (the stack trace
  # comes well before the last lines) and stops the script.
  if "$f" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 "$work" >"$log" 2>&1; then
    tail -n 3 "$log"
    rm -rf "$work" "$log"
  else
    cat "$log"
    rm -rf "$work" "$log"
    echo "$name failed"
    exit 1
  fi
done
echo "all test stages passed"
