#!/usr/bin/env bash
# Installs what is needed, builds and runs every test once: the reader's and
# the shelf database's in the normal build (build/), the tests of the
# Qt-free layers and the fuzz replays under the sanitizers (build-asan/),
# where a memory or undefined-behaviour fault in them shows at once.
# Building them a second time without the sanitizers would double the
# longest part of the run; scripts/build.sh builds them in build/ too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DTESSALINE_CORE_TESTS=OFF
ctest --test-dir build --output-on-failure -j "$(nproc)"
scripts/test-sanitizers.sh
