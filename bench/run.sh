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

# bench/README.md: the fixed text, then the two sections; the one measured
# now replaces its earlier figures, the other is kept.
readme=bench/README.md
section() {  # name: the section's lines from the current README, markers excluded
  [ -f "$readme" ] || return 0
  awk -v name="$1" '$0 == "<!-- " name " end -->" { on = 0 } on { print } $0 == "<!-- " name " begin -->" { on = 1 }' "$readme"
}
side=$(if [ "$mode" = side-by-side ]; then cat "$fragment"; else section side-by-side; fi)
scale=$(if [ "$mode" = scale ]; then cat "$fragment"; else section scale; fi)
forms=$(if [ "$mode" = forms ]; then cat "$fragment"; else section forms; fi)
concordance=$(if [ "$mode" = concordance ]; then cat "$fragment"; else section concordance; fi)
results=$(if [ "$mode" = results ]; then cat "$fragment"; else section results; fi)
{
  cat <<'EOF'
# Benchmarks

`tessaline-bench` exports the pages of a corpus from its page store (the text
of each page's marked cell, tags removed, as runs between paragraph breaks
and annotation boundaries, with the index's positions), builds SQLite FTS5
(one token per character, and trigram), Xapian (one term per character with
positions), a text file for ripgrep and a brute-force scan from them, and
runs the query set through each of them and through the reader's own
search and result rows, in one process and one run: each query first on
handles opened afresh (first runs), then warm. The query set is
`bench/queries.tsv`, tab-separated, a line per query: its id, kind, the query
in the reader's syntax (`春風 AND 明月`, `明?光`, `春*花`) and what it probes;
`--queries FILE` takes another.
The scan follows the reader's search semantics exactly (phrases within one
run, `?` one character, `*` 0 to 300 characters, and/or, variants on); its
pages are the expected ones.

Regenerate (Debian 12; installs the peers with `scripts/install-bench-deps.sh`,
builds `build-bench/` in Release and rewrites the section it measures):

```sh
bench/run.sh               # side by side on out/corpus (five to ten minutes)
bench/run.sh --scale 30    # the synthetic corpus (heavy; run it alone)
bench/run.sh --forms       # what the line of the forms searched costs
bench/run.sh --concordance # what the concordance costs
bench/run.sh --results     # counts per book and volume, reading order, narrowing
```

## Side by side on the default corpus

EOF
  echo "<!-- side-by-side begin -->"
  [ -n "$side" ] && echo "$side" || echo "(not measured yet: bench/run.sh)"
  echo "<!-- side-by-side end -->"
  echo
  echo "## Scale"
  echo
  echo "<!-- scale begin -->"
  [ -n "$scale" ] && echo "$scale" || echo "(not measured yet: bench/run.sh --scale 30)"
  echo "<!-- scale end -->"
  echo
  echo "## The forms line"
  echo
  echo "With variants on, the search tab shows under the summary the forms each keyword"
  echo "was searched in, with the pages and places of each form of a one-character"
  echo "keyword (\`CSearchForms\`). Its cost on top of the search and the rows:"
  echo
  echo "<!-- forms begin -->"
  [ -n "$forms" ] && echo "$forms" || echo "(not measured yet: bench/run.sh --forms)"
  echo "<!-- forms end -->"
  echo
  echo "## The concordance"
  echo
  echo "Every hit of a search in its context (\`CConcordance\`: the window's 用例 pane,"
  echo "\`tessaline-cli kwic\`), over the whole default corpus:"
  echo
  echo "<!-- concordance begin -->"
  [ -n "$concordance" ] && echo "$concordance" || echo "(not measured yet: bench/run.sh --concordance)"
  echo "<!-- concordance end -->"
  echo
  echo "## The result rows"
  echo
  echo "Where the hits fall (\`CHitDistribution\`: the window's 分布 chart, \`tessaline-cli search --by\`),"
  echo "the rows in reading order and narrowed to a book (\`CResultList\`):"
  echo
  echo "<!-- results begin -->"
  [ -n "$results" ] && echo "$results" || echo "(not measured yet: bench/run.sh --results)"
  echo "<!-- results end -->"
} > "$readme.new"
mv "$readme.new" "$readme"
echo "bench/run.sh: wrote $readme ($mode)"
