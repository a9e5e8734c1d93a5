#!/usr/bin/env bash
# Installs the Debian packages Kavrel needs to build, test and run (as root).
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev
          fonts-ipafont-mincho fonts-ipafont-gothic xvfb xauth qt6-translations-l10n
          clang-format clang-tidy python3 python3-html5lib
          libsqlite3-dev
          manpages-ja  # real prose for the full-text benchmark (bench_fulltext)
          dpkg-dev file lintian desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
