#!/usr/bin/env bash
# Takes the pictures of the program's windows (start-up window, main window after three
# calculations, about box, document settings dialog, point table print window and its preview)
# on a virtual display and writes them to the directory given
# (default: shots/). Needs xvfb-run (Debian package xvfb), which the build does not.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-shots}")"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target calculator_screenshots -j"$(nproc)"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home" XDG_DATA_HOME="$home" XDG_RUNTIME_DIR="$home" \
    xvfb-run -a -s "-screen 0 1280x800x24" build/bin/calculator_screenshots "$out"
