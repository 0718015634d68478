#!/usr/bin/env bash
# Builds the reader, writes the sample corpus if needed and takes pictures of
# the main window on its tabs, a search and a result page into
# out/screenshots/ (under Xvfb). DATA=out/corpus takes them on the default
# corpus (made by scripts/run.sh); KEYWORDS sets the search (default 月).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j 2 --target tessaline-cli tessaline-screenshots
data=${DATA:-out/sample}
if [ "$data" = out/sample ] &&
   { [ ! -f "$data/Index-idx.h" ] || [ -n "$(find samples -newer "$data/Index-idx.h" -print -quit)" ]; }; then
  "$build/cli/tessaline-cli" build --variants samples/yitizi.txt samples/source "$data"
fi
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/tessaline-screenshots" "$(realpath "$data")" "$PWD/out/screenshots" "${KEYWORDS:-月}"
