#!/usr/bin/env bash
# Configures and builds into build/ (Release with line tables for backtraces:
# -g1 compiles a quarter faster than full debug information), every test
# included unless the arguments, passed on to CMake, say otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DTESSALINE_CORE_TESTS=ON "$@" >/dev/null
cmake --build build -j "$(nproc)"
