#!/usr/bin/env bash
# Installs the Debian packages that Velmora needs, and only those that are missing. Works on a
# fresh Debian 12; asks for sudo when not run as root.
#
#   scripts/install-deps.sh [app] [tools] [tests] [bench] [fuzz]
#
# Names the parts to install for; with none, everything (the test command needs it all).
set -euo pipefail

# What every build needs: the core's port discovery uses libudev.
base=(cmake ninja-build g++ pkg-config libudev-dev)
# What building and running the application needs.
app=(
    qt6-base-dev qt6-svg-dev libgl-dev
    # Qt's own texts (file dialog, text field menus) in the interface languages
    qt6-translations-l10n
    # a font with every symbol the windows draw (↵, ●, ⌘), so they show no empty boxes
    fonts-dejavu-core
    # control pictures (␇ ␀ ␡) for control characters in the output, which DejaVu lacks
    fonts-freefont-ttf
    # a virtual display when there is no real one
    xvfb xauth
)
# The simulated board (a fake USB Uno) and the programs that photograph the real windows.
tools=(
    umockdev libumockdev-dev
    # typing into and photographing the demo window (tools/demo-screenshot.sh)
    xdotool imagemagick x11-utils
)
tests=(
    libgtest-dev libgmock-dev
    # the validators of the desktop launcher and the software-centre metadata
    appstream desktop-file-utils
    # German and French locales, so the plot parser's locale test runs instead of skipping
    locales-all
    # xwininfo, to see the application's window appear on a virtual display
    x11-utils
)
bench=(libbenchmark-dev)
# libFuzzer comes with clang's runtime libraries.
fuzz=(clang libclang-rt-dev)

parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(app tools tests bench fuzz)
# Tools, tests and benchmarks are built with the application and the simulated board.
packages=("${base[@]}")
for part in "${parts[@]}"; do
    case "$part" in
        app) packages+=("${app[@]}") ;;
        tools) packages+=("${app[@]}" "${tools[@]}") ;;
        tests) packages+=("${app[@]}" "${tools[@]}" "${tests[@]}") ;;
        bench) packages+=("${app[@]}" "${tools[@]}" "${bench[@]}") ;;
        fuzz) packages+=("${fuzz[@]}") ;;
        *) echo "install-deps.sh: unknown part '$part' (app, tools, tests, bench, fuzz)" >&2; exit 2 ;;
    esac
done

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
