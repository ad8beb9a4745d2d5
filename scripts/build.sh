#!/usr/bin/env bash
# Configures and builds the program and its tests in build/ (extra arguments go to CMake).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build -j"$(nproc)"
