#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 600).
#   fuzz/run.sh [SECONDS] [TARGET...]
# Working corpora go to out/fuzz/corpus/TARGET (started from fuzz/seeds),
# crashes to out/fuzz/artifacts/TARGET, each run's log to out/fuzz/TARGET.log.
# A crash found is kept under fuzz/regressions/TARGET by hand once fixed, and
# CTest replays it in every test run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzzindex fuzzfilelist fuzzrender fuzzkeywords fuzztables fuzzcheck fuzzpoetry)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTESSALINE_FUZZ=ON -DTESSALINE_BUILD_TESTS=OFF -DTESSALINE_BUILD_GUI=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

for t in "${targets[@]}"; do
  mkdir -p "out/fuzz/corpus/$t" "out/fuzz/artifacts/$t"
  cp -n fuzz/seeds/"$t"/* "out/fuzz/corpus/$t/" 2>/dev/null || true
  echo "== $t for ${seconds}s"
  "build-fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="out/fuzz/artifacts/$t/" "out/fuzz/corpus/$t" 2>"out/fuzz/$t.log" || {
    echo "$t failed: see out/fuzz/$t.log and out/fuzz/artifacts/$t/"; tail -30 "out/fuzz/$t.log"; exit 1; }
  grep -E '^#[0-9]+.*(DONE|cov:)' "out/fuzz/$t.log" | tail -1
done
