#!/usr/bin/env bash
# Builds the Debian packages with CPack into build/packages/: tessaline (the
# reader, tessaline-cli, the help page, the desktop entry, the icons and the
# metainfo) and tessaline-corpus-poetry (the default corpus, prepared as
# scripts/run.sh does), then checks both with lintian, which must report no
# error. The CTest test PackageInstall installs them into a scratch root.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --packaging
scripts/build.sh
source scripts/corpus.sh
prepare_corpus build/cli/tessaline-cli

# The corpus package's copyright file takes the npm package's version and
# licence.
cmake -S . -B build -DTESSALINE_CORPUS_DIR="$PWD/$corpus_dir" -DTESSALINE_POETRY_PACKAGE="$PWD/$poetry_package" >/dev/null
rm -rf build/packages
echo "== cpack (a minute: the corpus is 600 MB)"
if ! (cd build && cpack -G DEB) > build/cpack.log 2>&1; then
  cat build/cpack.log >&2
  echo "$0: cpack failed" >&2
  exit 2
fi
# The staging copy of what was packed is not needed any more.
rm -rf build/packages/_CPack_Packages
shopt -s nullglob
debs=(build/packages/*.deb)
if [ ${#debs[@]} -ne 2 ]; then
  echo "$0: cpack made ${#debs[@]} packages, not 2: ${debs[*]:-none} (see build/cpack.log)" >&2
  exit 2
fi

echo "== lintian"
# lintian exits non-zero on an error (not on a warning).
if ! lintian --tag-display-limit 0 "${debs[@]}"; then
  echo "$0: lintian reports errors" >&2
  exit 2
fi
ls -l "${debs[@]}"
