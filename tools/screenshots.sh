#!/usr/bin/env bash
# Builds the screenshot tool and runs it on a virtual X display against a fake Arduino Uno
# (umockdev), writing one PNG per scene. Options go to the tool:
#   tools/screenshots.sh [--lang CODE] [--scene NAME]... [--out DIR] [--texts]
# Without --out, the pictures go to screenshots/<language>/ (screenshots/en/ by default).
# The tool is built in build/screenshots, or in SCREENSHOTS_BUILD_DIR when set.
set -euo pipefail
cd "$(dirname "$0")/.."

language=en
out=
arguments=("$@")
for ((i = 0; i < ${#arguments[@]}; i++)); do
    case "${arguments[i]}" in
    --lang) language=${arguments[i + 1]:-} ;;
    --lang=*) language=${arguments[i]#--lang=} ;;
    --out | --out=*) out=given ;;
    --help | -h | --list) out=given ;;
    esac
done
[ -n "$out" ] || arguments+=(--out "screenshots/$language")

build=${SCREENSHOTS_BUILD_DIR:-build/screenshots}
scripts/install-deps.sh
# Debug: the pictures need no speed.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target velmora-screenshots

# Settings and runtime files of their own: nothing the user remembers shows in the pictures.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"
# The preload library only for the tool, not for the X server.
xvfb-run -a -s "-screen 0 1280x800x24" \
    umockdev-wrapper "$build/tools/screenshots/velmora-screenshots" "${arguments[@]}"
