#!/usr/bin/env bash
# Installs the Debian packages that Velmora's build, tests and tools need, and only those that
# are missing. Works on a fresh Debian 12; asks for sudo when not run as root.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # fuzzing (libFuzzer comes with clang's runtime libraries)
    clang libclang-rt-dev
    # the desktop application
    qt6-base-dev qt6-svg-dev libgl-dev
    # Qt's own texts (file dialog, text field menus) in the interface languages
    qt6-translations-l10n
    # port discovery, and fake devices and hot-plug for its tests
    libudev-dev umockdev libumockdev-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # the validators of the desktop launcher and the software-centre metadata, run as tests
    appstream desktop-file-utils
    # German and French locales, so the plot parser's locale test runs instead of skipping
    locales-all
    # a virtual display for the application's tests, and a look at its windows
    xvfb xauth x11-utils
    # typing into and photographing the demo window (tools/demo-screenshot.sh)
    xdotool imagemagick
    # a font with every symbol the windows draw (↵, ●, ⌘), so screenshots show no empty boxes
    fonts-dejavu-core
    # control pictures (␇ ␀ ␡) for control characters in the output, which DejaVu lacks
    fonts-freefont-ttf
)

missing=()
for package in "${packages[@]}"; do
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
