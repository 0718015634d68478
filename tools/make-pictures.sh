#!/usr/bin/env bash
# Draws every picture of the reader again into resources/, and the toolbar
# buttons of the help page into help/ (needs the fonts of fonts-noto-cjk).
# Build folder: $BUILD_DIR, default build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j 2 --target tessaline-pictures
QT_QPA_PLATFORM=offscreen "$build/tools/tessaline-pictures" resources help
