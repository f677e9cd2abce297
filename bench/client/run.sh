#!/usr/bin/env bash
# Builds Tarnwick's benchmarks in Release, makes demo databases of 10,000 and 100,000 bugs (kept
# in the folder between runs) and runs them on each, offscreen: the main window, then the export
# of every bug in the file to CSV and PDF.
#
#   bench/client/run.sh [FOLDER]         (default /var/tmp/tarnwick-bench)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-rel}
folder=${1:-/var/tmp/tarnwick-bench}
mkdir -p "$folder"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target velmora Velmora tarnwick_bench \
    tarnwick_export_bench
export VELMORA_REGISTRY="$folder/registry" VELMORA_LIBRARY="$PWD/$build/engine/libVelmora.so"
"$build/tools/velmora/velmora" register >/dev/null
for bugs in 10000 100000; do
  database="$folder/demo-$bugs.mdb"
  [ -f "$database" ] || "$build/tools/velmora/velmora" demo "$database" --bugs "$bugs" >/dev/null
  QT_QPA_PLATFORM=offscreen "$build/bench/client/tarnwick_bench" "$database"
  QT_QPA_PLATFORM=offscreen "$build/bench/client/tarnwick_export_bench" "$database"
  echo
done
