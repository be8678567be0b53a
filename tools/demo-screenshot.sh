#!/usr/bin/env bash
# The demo as a newcomer sees it, photographed: starts the demo's programs (scripts/demo.sh builds
# them into build/demo) on a virtual X display, presses Ctrl+R to connect to the simulated Uno
# and Ctrl+Shift+L for the plotter, lets it plot for a few seconds and saves the screen.
#   tools/demo-screenshot.sh [OUTPUT.png]       (default: screenshots/demo.png)
# DEMO_BUILD_DIR chooses another build folder holding app/velmora and tools/simboard.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${DEMO_BUILD_DIR:-build/demo}
output=${1:-screenshots/demo.png}
mkdir -p "$(dirname "$output")"
if [ ! -x "$build/app/velmora" ] || [ ! -x "$build/tools/simboard/velmora-simboard" ]; then
    scripts/install-deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TOOLS=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
    cmake --build "$build" --target velmora velmora-simboard
fi

settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export XDG_CONFIG_HOME=$settings
export output build
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$build/tools/simboard/velmora-simboard" --umockdev --for 20 --run -- "$build/app/velmora" </dev/null &
    demo=$!
    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --onlyvisible --name "Velmora|ttyACM0|Arduino" 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        echo "the demo window did not appear" >&2
        kill "$demo"
        exit 1
    fi
    # No window manager here: focus the window ourselves and type through XTEST, as a keyboard
    # would (Qt ignores key events sent to a window directly).
    sleep 1
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    # A click into the output makes the window the active one for its shortcuts.
    xdotool mousemove --window "$window" 600 500 click 1
    sleep 0.5
    xdotool key ctrl+r
    sleep 1
    xdotool key ctrl+shift+l
    sleep 8
    import -window root -crop 960x620+0+0 "$output"
    kill "$demo" 2>/dev/null || true
    wait "$demo" 2>/dev/null || true
'
echo "wrote $output"
