#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug information), every
# test included unless the arguments, passed on to CMake, say otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALINE_CORE_TESTS=ON "$@" >/dev/null
cmake --build build -j "$(nproc)"
