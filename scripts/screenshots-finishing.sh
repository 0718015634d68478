#!/usr/bin/env bash
# Builds the reader, writes the sample corpus if needed and takes pictures of
# the splash, the About box and the main window's toolbar (disabled, normal
# and hot) into out/screenshots/finishing/ (under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j 2 --target tessaline-cli tessaline-finishing-screenshots
data=out/sample
if [ ! -f "$data/Index-idx.h" ] || [ -n "$(find samples -newer "$data/Index-idx.h" -print -quit)" ]; then
  "$build/cli/tessaline-cli" build --variants samples/yitizi.txt samples/source "$data"
fi
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/tessaline-finishing-screenshots" "$PWD/$data" "$PWD/out/screenshots/finishing"
