#!/usr/bin/env bash
# The main job: installs what is needed, builds, fetches the npm package
# chinese-poetry, imports it and builds the corpus out/corpus (only when it
# is missing or stale), shows a search on it, then starts the reader on it
# when a display is available.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh

cli=build/cli/tessaline-cli
gui=build/frame/tessaline
source scripts/corpus.sh
prepare_corpus "$cli"
data=$corpus_dir

export TESSALINE_DATA=$PWD/$data
echo "== tessaline-cli search 白日依山盡"
"$cli" search 白日依山盡 || true
page=$("$cli" search 白日依山盡 | awk -F'\t' '$2 == "御定全唐詩" { print $5; exit }')
if [ -n "$page" ]; then
  echo "== tessaline-cli page $page 白日依山盡 (the text of the page, hits in [ ])"
  "$cli" page "$page" 白日依山盡 2>/dev/null |
    sed -e "s/<b style='color:red[^>]*>/[/g" -e 's/<\/b>/]/g' -e 's/<br>/ /g' -e 's/<[^>]*>//g' -e 's/\t\+/ /g' |
    grep -v '^ *$' || true
fi
echo "== tessaline-cli search 国 (variants on, then off)"
"$cli" search 国 | tail -n 1 || true
"$cli" search --no-variants 国 | tail -n 1 || true
echo "== tessaline-cli search --forms 桜 and 読書 (typed in 新字体, found in their 旧字体)"
"$cli" search --forms 桜 | tail -n 2 || true
"$cli" search --forms 読書 | tail -n 2 || true
echo "== tessaline-cli catalog: categories and books (slot, level, name, first page, pages, first page number)"
"$cli" catalog | awk -F'\t' '$2 <= 2' || true

# The desktop reader, when it is built and there is a screen to show it on.
if [ -x "$gui" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "== starting the reader on $data"
  [ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
  exec "$gui" --data "$TESSALINE_DATA"
fi
echo "== the reader: $gui --data $TESSALINE_DATA (needs a display)"
