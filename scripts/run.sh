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
# awk reads to the end (no exit): under pipefail a writer cut off by an
# early exit would end the script with SIGPIPE.
page=$("$cli" search 白日依山盡 | awk -F'\t' '$2 == "御定全唐詩" && !seen { print $5; seen = 1 }')
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
# A phrase of each book that the whole collection brought, searched in that
# book (its catalogue slot as the range).
echo "== one search in each book added with the whole collection (book: keywords: summary)"
catalog=$("$cli" catalog || true)
while IFS=$'\t' read -r book keywords; do
  slot=$(awk -F'\t' -v b="$book" '$2 == 2 && $3 == b && !seen { print $1; seen = 1 }' <<<"$catalog")
  if [ -z "$slot" ]; then
    echo "$book: not in the catalogue"
    continue
  fi
  echo "$book: $keywords: $("$cli" search --range "$slot" "$keywords" | tail -n 1 || true)"
done <<'BOOKS'
曹操詩集	對酒當歌，人生幾何
全唐詩補	千尺絲綸直下垂
納蘭性德詞	人生若只如初見
古文觀止	先帝創業未半
唐詩三百首	白日依山盡
千家詩	春眠不覺曉
水墨唐詩	慈母手中線
千字文	天地玄黃宇宙洪荒
百家姓	趙錢孫李
文字蒙求	日中有黑影
三字經（新版）	人之初，性本善
三字經（傳統版）	人之初，性本善
弟子規	弟子規聖人訓
朱子家訓	黎明即起
增廣賢文	昔時賢文
幽夢影	少年讀書，如隙中窺月
幼學瓊林	混沌初開
聲律啓蒙	雲對雨，雪對風
BOOKS
echo "== tessaline-cli catalog: categories and books (slot, level, name, first page, pages, first page number)"
"$cli" catalog | awk -F'\t' '$2 <= 2' || true

# The desktop reader, when it is built and there is a screen to show it on.
if [ -x "$gui" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "== starting the reader on $data"
  [ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
  exec "$gui" --data "$TESSALINE_DATA"
fi
echo "== the reader: $gui --data $TESSALINE_DATA (needs a display)"
