#!/usr/bin/env bash
# Builds the program and runs the whole test suite, then again in a Debug
# build (Qt's and the program's assertions live) under AddressSanitizer and
# UndefinedBehaviorSanitizer.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
export QT_QPA_PLATFORM=offscreen

build_tree build
ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"

build_tree build-asan -DQDR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS="detect_leaks=1" LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$JOBS"

# A short run of the fuzz targets (clang's libFuzzer).
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build-fuzz" -DQDR_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build-fuzz" -j "$JOBS" --target fuzz_venue fuzz_frames
for target in fuzz_venue fuzz_frames; do
  LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$ROOT/build-fuzz/bin/$target" -max_total_time=10 2>&1 | tail -n 1
done
