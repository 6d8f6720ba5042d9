#!/bin/sh
# Builds the benchmarks (Release, in build-bench/) and runs each in turn.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_exchange bench_waitcpu bench_overhead bench_readback bench_startup bench_editor bench_eqgraph qdr318-sim
for b in bench_exchange bench_waitcpu bench_overhead bench_readback bench_startup bench_editor bench_eqgraph; do
    "$build/bin/$b"
    echo
done
