#!/usr/bin/env bash
# Installs what is needed, builds, prepares the sample corpus and searches it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
data=out/sample
cli=build/cli/tessaline-cli
# Rebuild the corpus only when it is missing or older than its sources.
if [ ! -f "$data/Index-idx.h" ] || [ -n "$(find samples -newer "$data/Index-idx.h" -print -quit)" ]; then
  "$cli" build --variants samples/yitizi.txt samples/source "$data"
fi
echo "== tessaline-cli search --data $data 黃河"
"$cli" search --data "$data" 黃河 || true
echo "== tessaline-cli search --data $data --or 明月 学"
"$cli" search --data "$data" --or 明月 学 || true
