#!/usr/bin/env bash
# Installs what the build needs, builds and installs Velmora, its tools and the Tarnwick client,
# registers the engine, then runs the main job: a demo database on the embedded default (SQLite),
# filled through the object model, its summary, and a Bug.cfg that logs the demo user mhart into
# Harbor Ledger 2.1 when Tarnwick starts. Tarnwick is started when a display is available.
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
"$prefix/bin/tarnwick" --save-login "$database" --login mhart --password mhart-demo \
  --version "Harbor Ledger/2.1"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting Tarnwick (logged in as mhart, Harbor Ledger 2.1)"
  nohup "$prefix/bin/tarnwick" >/dev/null 2>&1 &
else
  echo "No display: start the client later with $prefix/bin/tarnwick"
  echo "(it opens $database and logs mhart into Harbor Ledger 2.1 by itself)"
fi
