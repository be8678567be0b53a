#!/usr/bin/env bash
# Builds the benchmarks optimised, without sanitizers, and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_APP=ON
cmake --build build/bench
for bench in build/bench/bench/*_bench; do
    [ "$(basename "$bench")" = window_bench ] && continue
    "$bench" "$@"
done
# The whole window needs a display; a virtual one will do. Not a Google Benchmark program.
xvfb-run -a build/bench/bench/window_bench
