#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, then runs the core tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then fuzzes the reader and writer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_WERROR=ON \
      -DKV_BUILD_GUI=OFF -DKV_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure -L core

# The survey round trip under libFuzzer for a minute, seeded with every survey of the project;
# a crash, a sanitizer report or a second save that differs from the first fails the script.
# Only the core library and the target are built, with clang, in a build of their own.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DKV_FUZZ=ON -DKV_SANITIZE=ON -DKV_WERROR=ON -DKV_BUILD_GUI=OFF -DKV_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target SurveyRoundTripFuzz
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/data/*/*.grt examples/*.grt tests/fuzz/regressions/* "$corpus"/
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/tests/fuzz/SurveyRoundTripFuzz -max_total_time=60 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/ -print_final_stats=1 "$corpus"
