#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need; with
# --packaging also those that scripts/package.sh needs to check packages.
set -euo pipefail
packages=(build-essential cmake googletest libgtest-dev libgmock-dev qt6-base-dev qt6-charts-dev libqt6sql6-sqlite qt6-webengine-dev libqt6webenginecore6-bin qt6-qpa-plugins xvfb xauth fonts-noto-cjk unicode-data libbz2-dev bzip2 libopencc1.1 libopencc-dev opencc nlohmann-json3-dev pkg-config desktop-file-utils appstream)
if [ "${1:-}" = --packaging ]; then
  packages+=(lintian)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm fetches the text collection; Debian's package brings Node.js with it. A
# Node.js that already has npm (NodeSource) is left alone.
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
