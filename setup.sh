#!/usr/bin/env bash
# Installs what the build needs, builds and installs Velmora and its tools, registers the engine,
# then runs the main job: a demo database on the embedded default (SQLite), filled through the
# object model, and its summary: who logged in, the lookup lists, the products, users and roles,
# and the bugs and features of every version by status.
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
"$prefix/bin/velmora" demo "$database"
"$prefix/bin/velmora" summary "$database"
