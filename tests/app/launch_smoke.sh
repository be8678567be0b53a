#!/usr/bin/env bash
# Starts velmora on a virtual X display and waits until its window is mapped: the title starts
# with the application's name while no port is chosen.
set -u
app=$1
# A settings folder of its own, so that no remembered port changes the title.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    app=$1
    "$app" &
    pid=$!
    for _ in $(seq 1 150); do
        if xwininfo -root -tree | grep -q "\"Velmora"; then
            echo "the Velmora window is shown"
            kill "$pid"
            wait "$pid" 2>/dev/null
            exit 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "velmora ended before showing its window"
            exit 1
        fi
        sleep 0.1
    done
    echo "no Velmora window after 15 s"
    kill "$pid"
    exit 1
' bash "$app"
