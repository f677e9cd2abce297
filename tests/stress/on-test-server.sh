#!/bin/sh
# Runs a stress program on a new database on the server that VELMORA_TEST_SERVER names:
#   on-test-server.sh PROGRAM [OPTIONS...]   runs   PROGRAM --server "$VELMORA_TEST_SERVER" OPTIONS...
# Without a server it says so and exits with 77, which CTest counts as skipped.
if [ -z "${VELMORA_TEST_SERVER:-}" ]; then
  echo "skipped: no server (VELMORA_TEST_SERVER is unset; run under scripts/with-postgres.sh)"
  exit 77
fi
program=$1
shift
exec "$program" --server "$VELMORA_TEST_SERVER" "$@"
