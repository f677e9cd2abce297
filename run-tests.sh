#!/usr/bin/env bash
# Builds everything and runs every test: first on database files, then the cases registered for a
# server (CTest label postgresql) on a throwaway PostgreSQL cluster.
#
# VELMORA_SERVER_TESTS=ON|OFF chooses whether the engine's test programs register their cases a
# second time for the server run (the default below); the test helpers' own server cases always do.
set -euo pipefail
cd "$(dirname "$0")"
server_tests=${VELMORA_SERVER_TESTS:-ON}
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SERVER_TESTS="$server_tests"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE postgresql
./scripts/with-postgres.sh ctest --test-dir build -L postgresql --output-on-failure -j2
