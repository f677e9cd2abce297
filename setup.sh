#!/usr/bin/env bash
# Installs what the build needs, builds and installs Velmora and its tools, registers the engine,
# then runs the main job: a new database on the embedded default (SQLite), opened through the
# object model, with who logged in and what its lookup lists hold.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
if [ "$(id -u)" -eq 0 ]; then prefix=${PREFIX:-/usr/local}; else prefix=${PREFIX:-$HOME/.local}; fi
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
cmake --build build-release -j"$(nproc)"
cmake --install build-release --prefix "$prefix"
if [ "$(id -u)" -eq 0 ]; then ldconfig; fi
"$prefix/bin/velmora" register
database=${VELMORA_DATABASE:-$PWD/main-job.mdb}
rm -f "$database"
"$prefix/bin/velmora" newdb "$database"
"$prefix/bin/velmora" summary "$database"
