#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Run as root (or through sudo).
set -euo pipefail
packages=(build-essential cmake pkg-config libsqlite3-dev sqlite3 zlib1g-dev libminizip-dev
          libgtest-dev python3 unzip clang-14 libclang-rt-14-dev
          qt6-base-dev libgl-dev unrtf xvfb xauth fonts-liberation adwaita-icon-theme
          dpkg-dev file poppler-utils
          postgresql-15 postgresql-contrib libpq-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
