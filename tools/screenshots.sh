#!/usr/bin/env bash
# Builds the screenshot tool and runs it on a virtual X display against a fake Arduino Uno
# (umockdev). Two uses:
#
#   tools/screenshots.sh [--lang CODE] [--scene NAME]... [--out DIR] [--texts]
#       One PNG per scene (--list names them) of the monitor window, the plotter and the help
#       window, for looking at. Without --out, the pictures go to screenshots/<language>/
#       (screenshots/en/ by default).
#
#   tools/screenshots.sh --help-images [--lang CODE]...
#       Regenerates the pictures the help window shows, app/resources/help-screenshots/
#       {name}-{language}.png, in every language (or the ones given), lists every picture of that
#       folder in app/resources/help-screenshots.qrc, which builds them into the program, and
#       prints their sizes. Rebuild after regenerating.
#
# The tool is built in build/screenshots, or in SCREENSHOTS_BUILD_DIR when set.
set -euo pipefail
cd "$(dirname "$0")/.."

helpImages=
language=en
languages=()
out=
arguments=()
given=("$@")
for ((i = 0; i < ${#given[@]}; i++)); do
    case "${given[i]}" in
    --help-images) helpImages=yes; continue ;;
    --lang) language=${given[i + 1]:-}; languages+=("$language") ;;
    --lang=*) language=${given[i]#--lang=}; languages+=("$language") ;;
    --out | --out=*) out=given ;;
    --help | -h | --list) out=given ;;
    esac
    arguments+=("${given[i]}")
done

build=${SCREENSHOTS_BUILD_DIR:-build/screenshots}
scripts/install-deps.sh
# Debug: the pictures need no speed.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVELMORA_BUILD_TOOLS=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target velmora-screenshots

# Settings and runtime files of their own: nothing the user remembers shows in the pictures.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"

# The preload library only for the tool, not for the X server.
shoot() {
    xvfb-run -a -s "-screen 0 1600x1000x24" \
        umockdev-wrapper "$build/tools/screenshots/velmora-screenshots" "$@"
}

if [ -z "$helpImages" ]; then
    [ -n "$out" ] || arguments+=(--out "screenshots/$language")
    shoot "${arguments[@]}"
    exit
fi

[ ${#languages[@]} -gt 0 ] || languages=(en nl de fr es)
folder=app/resources/help-screenshots
# The language comes from the loop; the other options (--scene, --texts) go along.
passOn=()
for ((i = 0; i < ${#arguments[@]}; i++)); do
    case "${arguments[i]}" in
    --lang) ((++i)) ;;
    --lang=*) ;;
    *) passOn+=("${arguments[i]}") ;;
    esac
done
for code in "${languages[@]}"; do
    shoot --help-images "$folder" --lang "$code" ${passOn[@]+"${passOn[@]}"}
done
{
    echo '<!DOCTYPE RCC>'
    echo '<RCC version="1.0">'
    # The help looks them up under :/help-screenshots/.
    echo '    <qresource prefix="/">'
    for file in "$folder"/*.png; do
        echo "        <file>help-screenshots/${file##*/}</file>"
    done
    echo '    </qresource>'
    echo '</RCC>'
} >app/resources/help-screenshots.qrc
du -b "$folder"/*.png | sort -n -r | awk '{ print $1 / 1024 " KiB\t" $2; total += $1 } END { print total / 1024 " KiB in all" }'
