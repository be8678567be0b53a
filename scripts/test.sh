#!/usr/bin/env bash
# Builds the application, the tools and the tests with AddressSanitizer and UndefinedBehaviorSanitizer
# and warnings as errors (installing missing Debian packages first), and runs the whole test suite:
# first each fuzzer for a short, bounded time, then every unit and application test, as many at
# once as there are cores. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
FUZZ_SECONDS="${FUZZ_SECONDS:-15}" scripts/fuzz.sh -DVELMORA_WERROR=ON

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON \
    -DVELMORA_BUILD_APP=ON -DVELMORA_BUILD_TOOLS=ON -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=OFF
cmake --build build/test
ctest --test-dir build/test --output-on-failure --timeout 300 -j "$(nproc)"
