#!/usr/bin/env bash
# Builds the benchmarks optimised, without sanitizers, and runs them all. Arguments go to the
# Google Benchmark programs (e.g. --benchmark_filter=...). The programs that show a window run on
# a virtual X display when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVELMORA_BUILD_APP=ON -DVELMORA_BUILD_TOOLS=ON -DVELMORA_BUILD_BENCH=ON -DVELMORA_BUILD_TESTS=OFF
cmake --build build/bench --target benchmarks

display=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=(xvfb-run -a -s "-screen 0 1280x800x24")
fi
for bench in build/bench/bench/*_bench; do
    case "$(basename "$bench")" in
        # Qt programs with a shown window, not Google Benchmark programs.
        window_bench | board_latency_bench) "${display[@]}" "$bench" ;;
        *) "$bench" "$@" ;;
    esac
done
