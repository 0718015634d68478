#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the normal build, then
# the same tests under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
scripts/test-sanitizers.sh
