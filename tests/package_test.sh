#!/usr/bin/env bash
# Installs the Debian packages that scripts/package.sh made (tessaline and
# tessaline-corpus-poetry in PACKAGE_DIR) into a scratch root with dpkg -x
# and runs the installed programs from there: tessaline-cli finds the
# installed corpus beside itself and the poem 白日依山盡 in it, the reader
# starts far enough to print its help, and the installed desktop files pass
# tests/desktopfiles.sh.
#   tests/package_test.sh PACKAGE_DIR
# Exit status 77 (skipped) without dpkg-deb or without both packages.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
packages=${1:?usage: package_test.sh PACKAGE_DIR}

if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "skipped: dpkg-deb is not installed"
  exit 77
fi
shopt -s nullglob
readers=("$packages"/tessaline_*.deb)
corpora=("$packages"/tessaline-corpus-poetry_*_all.deb)
if [ ${#readers[@]} -ne 1 ] || [ ${#corpora[@]} -ne 1 ]; then
  echo "skipped: $packages does not hold the two packages (scripts/package.sh makes them)"
  exit 77
fi

root=$(mktemp -d "${TMPDIR:-/tmp}/tessaline-package-XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "${readers[0]}" "$root"
dpkg-deb -x "${corpora[0]}" "$root"
# The programs look for the corpus in their own folder, not elsewhere.
unset TESSALINE_DATA
cd "$root"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for package in tessaline tessaline-corpus-poetry; do
  [ -s "usr/share/doc/$package/copyright" ] || fail "no usr/share/doc/$package/copyright"
done
grep -q '^License: Expat' usr/share/doc/tessaline-corpus-poetry/copyright ||
  fail "the corpus's copyright file names no Expat (MIT) licence"
grep -Eq 'version [0-9]+\.[0-9]+\.[0-9]+' usr/share/doc/tessaline-corpus-poetry/copyright ||
  fail "the corpus's copyright file names no version of the npm package"

# The link in usr/bin leads to the program folder, which holds the corpus.
cli=usr/bin/tessaline-cli
rows=$("$cli" search 白日依山盡) || fail "tessaline-cli search 白日依山盡 exited with $?"
printf '%s\n' "$rows"
page=$(printf '%s\n' "$rows" | awk -F'\t' '$2 == "御定全唐詩" { print $5; exit }')
if [ -z "$page" ]; then
  fail "no row of 御定全唐詩 for 白日依山盡"
else
  "$cli" page "$page" 白日依山盡 | grep -q "color:red[^>]*>白日依山盡<" ||
    fail "page $page does not show 白日依山盡 marked"
fi

if [ -x usr/bin/tessaline ]; then
  QT_QPA_PLATFORM=offscreen usr/bin/tessaline --help | grep -q -- '--data' ||
    fail "the installed reader does not print its help"
else
  fail "no usr/bin/tessaline"
fi

status=0
bash "$here/desktopfiles.sh" "$root/usr" || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || fail "tests/desktopfiles.sh on the installed files exited with $status"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "the installed packages find 白日依山盡 in page $page"
