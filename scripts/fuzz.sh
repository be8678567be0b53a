#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (core instrumented, ASan and UBSan on) and runs each
# for a bounded time: FUZZ_SECONDS each, 20 unless set. Findings are written to build/fuzz/.
# Arguments are passed on to CMake's configure step (e.g. -DVELMORA_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
    -DVELMORA_BUILD_APP=OFF -DVELMORA_BUILD_TOOLS=OFF -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF \
    -DVELMORA_FUZZ_SECONDS="${FUZZ_SECONDS:-20}" "$@"
cmake --build build/fuzz
cd build/fuzz/fuzz
ctest --output-on-failure
