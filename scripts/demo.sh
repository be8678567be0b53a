#!/usr/bin/env bash
# Builds Velmora and the simulated board (installing missing Debian packages first) and starts
# Velmora against a simulated Arduino Uno: a fake USB device in a umockdev testbed, so no
# hardware and no root are needed. The Uno appears in the port list and is picked; Ctrl+R
# connects. Keys typed in this terminal change what the board does. Options are passed on to
# the board (see build/demo/tools/simboard/velmora-simboard --help), e.g. --mode csv.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh app tools
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVELMORA_BUILD_TOOLS=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
cmake --build build/demo --target velmora velmora-simboard

demo=(build/demo/tools/simboard/velmora-simboard --umockdev "$@" --run -- build/demo/app/velmora)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the demo on a virtual X display."
    exec xvfb-run -a -s "-screen 0 1280x800x24" "${demo[@]}"
fi
exec "${demo[@]}"
