#!/usr/bin/env bash
# Builds Tarnwick, makes a demo database and draws the windows into PNG files (no screen
# needed): the main window with a bug selected on each detail tab, both login wizard pages,
# the System Information dialog, the Select Filter drop-down, the bug editor's pages (new, edit,
# a Fixed bug, files attached), the filter editor with a two-group filter, the merge dialog,
# the administration dialogs, both Options pages with the date-format menu and a print preview.
#
#   scripts/screenshots.sh [FOLDER]      (default: build-cc/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-cc}
folder=${1:-$build/screenshots}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target velmora Velmora tarnwick_screenshots
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export VELMORA_REGISTRY="$scratch/registry" VELMORA_LIBRARY="$PWD/$build/engine/libVelmora.so"
"$build/tools/velmora/velmora" register >/dev/null
"$build/tools/velmora/velmora" demo "$scratch/demo.mdb" --bugs 400 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/tarnwick_screenshots" "$folder" \
  "$scratch/demo.mdb"
echo "Pictures are in $folder"
