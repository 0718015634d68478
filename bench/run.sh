#!/usr/bin/env bash
# Builds tessaline-bench (Release, in build-bench/) and measures, writing the
# figures into bench/README.md (each mode replaces its own section):
#
#   bench/run.sh              the reader's search side by side with SQLite FTS5,
#                             Xapian, ripgrep and a brute-force scan on the
#                             default corpus (out/corpus); five to ten minutes
#   bench/run.sh --scale 30   a synthetic corpus of 30 copies of the default one
#                             (or as many as the file formats hold), under nice;
#                             heavy: tens of minutes and many GiB of memory
#   bench/run.sh --forms      what the line of the forms searched adds to a
#                             search (a minute)
#   bench/run.sh --concordance  the concordance of a few searches over the
#                             whole corpus (half a minute)
#   bench/run.sh --results    the counts per book and volume, the reading order
#                             and the narrowing of a few searches' rows
#
# Extra arguments go to tessaline-bench (see build-bench/bench/tessaline-bench --help).
# The peers' indexes and the scaled corpus go to out/bench/ (git-ignored).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-bench-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTESSALINE_BENCH=ON \
  -DTESSALINE_BUILD_TESTS=OFF -DTESSALINE_BUILD_GUI=OFF >/dev/null
cmake --build build-bench -j 2 --target tessaline-bench tessaline-cli

corpus=out/corpus
if [ ! -f "$corpus/Index-idx.h" ]; then
  echo "bench/run.sh: $corpus holds no corpus; build the default corpus first (scripts/run.sh)" >&2
  exit 2
fi
mkdir -p out/bench
bench=build-bench/bench/tessaline-bench
queries=bench/queries.tsv
if [ ! -f "$queries" ]; then
  echo "bench/run.sh: the query set $queries is missing" >&2
  exit 2
fi

mode=side-by-side
for arg in "$@"; do
  [ "$arg" = "--scale" ] && mode=scale
  [ "$arg" = "--forms" ] && mode=forms
  [ "$arg" = "--concordance" ] && mode=concordance
  [ "$arg" = "--results" ] && mode=results
done

machine() {
  local model mem dirty=""
  model=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -1)
  mem=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
  git diff --quiet HEAD -- 2>/dev/null || dirty=" with uncommitted changes"
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores ($model), $mem of memory," \
    "$(. /etc/os-release && echo "$PRETTY_NAME"), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)$dirty;" \
    "load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)."
}

fragment=out/bench/$mode.md
{
  echo "$(machine)"
  echo
  if [ "$mode" = scale ]; then
    echo "Command: \`bench/run.sh $*\` (runs \`nice -n 10 $bench --scale-check $*\`)."
    echo
    nice -n 10 "$bench" --corpus "$corpus" --queries "$queries" --scale-check "$@"
  elif [ "$mode" = forms ] || [ "$mode" = concordance ] || [ "$mode" = results ]; then
    echo "Command: \`bench/run.sh $*\` (runs \`$bench --corpus $corpus $*\`)."
    echo
    "$bench" --corpus "$corpus" --queries "$queries" "$@"
  else
    reader=""
    for candidate in build/frame/tessaline build-gui/frame/tessaline; do
      if [ -x "$candidate" ]; then reader=$candidate; break; fi
    done
    echo "Command: \`bench/run.sh${*:+ $*}\` (runs \`$bench --corpus $corpus${reader:+ --reader $reader}${*:+ $*}\`)."
    echo
    "$bench" --corpus "$corpus" --queries "$queries" ${reader:+--reader "$reader"} "$@"
  fi
} > "$fragment.new"
mv "$fragment.new" "$fragment"

# bench/README.md: the figures just measured replace those between the
# mode's markers; every other line of the file (the other sections and the
# text written by hand around them) stays as it is. A README without the
# markers gets the section at its end.
readme=bench/README.md
begin="<!-- $mode begin -->"
end="<!-- $mode end -->"
if [ -f "$readme" ] && grep -qxF "$begin" "$readme" && grep -qxF "$end" "$readme"; then
  awk -v begin="$begin" -v end="$end" -v fragment="$fragment" '
    $0 == begin { print; while ((getline line < fragment) > 0) print line; skip = 1; next }
    $0 == end { skip = 0 }
    !skip { print }' "$readme" > "$readme.new"
else
  { [ -f "$readme" ] && cat "$readme"; echo; echo "$begin"; cat "$fragment"; echo "$end"; } > "$readme.new"
fi
mv "$readme.new" "$readme"
echo "bench/run.sh: wrote $readme ($mode)"
