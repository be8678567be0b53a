#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (installing missing
# Debian packages first) and runs the whole test suite: first each fuzzer for a short, bounded
# time, then every unit and application test. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
FUZZ_SECONDS="${FUZZ_SECONDS:-15}" scripts/fuzz.sh

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure --timeout 300
