#!/usr/bin/env bash
# Installs the Debian 12 packages that tessaline-bench compares with
# (bench/run.sh): SQLite with FTS5, Xapian and ripgrep. The normal build and
# the tests do not need them.
set -euo pipefail
packages=(libsqlite3-dev libxapian-dev ripgrep)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
