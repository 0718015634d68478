#!/usr/bin/env bash
# Checks the reader's desktop files as installed under PREFIX: the desktop
# entry and the AppStream metainfo pass desktop-file-validate and
# appstreamcli validate without an error, a warning or a hint (such as a
# second main category), the metainfo names the entry by its id, and the
# entry's icon and program are installed.
#   tests/desktopfiles.sh PREFIX              (a tree such as ROOT/usr)
#   tests/desktopfiles.sh --build BUILD_DIR   (installs the reader component
#                                              of BUILD_DIR into a scratch
#                                              prefix first)
# Exit status 77 (skipped) when a validator is not installed.
set -euo pipefail

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (Debian packages desktop-file-utils, appstream)"
    exit 77
  fi
done

if [ "${1:-}" = --build ]; then
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessaline-desktop-XXXXXX")
  trap 'rm -rf "$scratch"' EXIT
  cmake --install "$2" --prefix "$scratch/usr" --component reader >/dev/null
  prefix=$scratch/usr
else
  prefix=$1
fi

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# What a validator says, and whether it says an error, a warning or a hint.
validate() {
  local output
  output=$("$@" 2>&1) || true
  if [ -n "$output" ]; then printf '%s\n' "$output"; fi
  if printf '%s\n' "$output" | grep -Eq '(^[EW]: |: (error|warning|hint): |Validation failed)'; then
    fail "$*"
  fi
}

shopt -s nullglob
entries=("$prefix"/share/applications/*.desktop)
metainfos=("$prefix"/share/metainfo/*.metainfo.xml)
if [ ${#entries[@]} -ne 1 ] || [ ${#metainfos[@]} -ne 1 ]; then
  fail "expected one desktop entry and one metainfo file, found ${entries[*]:-none} and ${metainfos[*]:-none}"
  exit 1
fi
entry=${entries[0]}
metainfo=${metainfos[0]}

validate desktop-file-validate "$entry"
validate appstreamcli validate --no-net "$metainfo"

# The metainfo's id is the entry's name, and it launches that entry.
id=$(basename "$entry" .desktop)
[ "$(basename "$metainfo" .metainfo.xml)" = "$id" ] || fail "$metainfo is not named after the entry $id"
grep -q "<id>$id</id>" "$metainfo" || fail "$metainfo does not have the id $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "$metainfo does not launch $id.desktop"

# The icon in the hicolor theme, the program in PREFIX/bin.
icon=$(sed -n 's/^Icon=//p' "$entry")
icons=("$prefix"/share/icons/hicolor/*/apps/"$icon".png)
[ ${#icons[@]} -gt 0 ] || fail "no icon $icon in $prefix/share/icons/hicolor"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$(basename "$program")" ] || fail "Exec=$program is not a program in $prefix/bin"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "the desktop entry $id.desktop and its metainfo are valid"
