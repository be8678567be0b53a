#!/usr/bin/env bash
# Builds Velmora (installing missing Debian packages first) and launches it. Without a display,
# it runs on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh app
# The application alone; said explicitly, so that a build folder configured otherwise before
# does not ask for tools or tests.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVELMORA_BUILD_TOOLS=OFF -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
cmake --build build/release --target velmora

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Velmora on a virtual X display."
    exec xvfb-run -a -s "-screen 0 1280x800x24" build/release/app/velmora
fi
exec build/release/app/velmora
