#!/usr/bin/env bash
# Runs COMMAND with a throwaway PostgreSQL cluster and returns COMMAND's exit status.
#
#   scripts/with-postgres.sh COMMAND [ARGS...]
#
# The cluster lives in a private temporary directory: its data, its log and its socket (it listens
# on no TCP address, so it clashes with no other server on the machine). It trusts every
# connection on that socket, which only the directory's owner can reach. COMMAND sees
#
#   PGHOST, PGPORT, PGUSER=velmora_test, PGDATABASE=postgres   (for psql and any libpq client)
#   VELMORA_TEST_SERVER=postgresql://velmora_test@/postgres?host=DIR&port=PORT
#
# velmora_test is a superuser, so tests may create and drop databases; every new database has the
# citext extension (it is made in template1). The cluster is stopped and the directory removed
# whatever COMMAND does, also on Ctrl+C. Started as root, the server runs as the `postgres` user
# (the server refuses to run as root); otherwise as the caller. PG_BINDIR chooses the server
# binaries (default: the newest /usr/lib/postgresql/*/bin, else initdb on the PATH).
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi

find_bindir() {
  if [ -n "${PG_BINDIR:-}" ]; then
    echo "$PG_BINDIR"
    return
  fi
  local newest
  newest=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
  if [ -n "$newest" ] && [ -x "$newest/initdb" ]; then
    echo "$newest"
  elif command -v initdb >/dev/null 2>&1; then
    dirname "$(command -v initdb)"
  else
    echo "with-postgres: no PostgreSQL server binaries (install postgresql-15, or set PG_BINDIR)" >&2
    exit 1
  fi
}
bindir=$(find_bindir)
psql_bin="$bindir/psql"
[ -x "$psql_bin" ] || psql_bin=psql

port=${VELMORA_TEST_PGPORT:-5432}  # the socket's name only: the directory is private
role=velmora_test

# Commands of the server itself run as its owner.
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id postgres >/dev/null 2>&1; then
    echo "with-postgres: running as root needs the 'postgres' user (made by postgresql-15)" >&2
    exit 1
  fi
  as_owner=(runuser -u postgres --)
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-pg-XXXXXX")
started=""
child=""
cleanup() {
  local status=$?
  trap - EXIT INT TERM HUP
  if [ -n "$child" ] && kill -0 "$child" 2>/dev/null; then
    kill -TERM "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
  fi
  if [ -n "$started" ]; then
    (cd "$dir" && "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1) ||
      (cd "$dir" && "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop \
        >/dev/null 2>&1) || true
  fi
  rm -rf "$dir"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

if [ ${#as_owner[@]} -gt 0 ]; then chown postgres: "$dir"; fi
chmod 700 "$dir"

# The server's commands run inside the directory: the owner may not be able to read the caller's.
server() { (cd "$dir" && "${as_owner[@]}" "$@"); }

# The bootstrap superuser is velmora_test itself: it may log in, and it owns every database.
locale=C.UTF-8
locale -a 2>/dev/null | grep -qix 'c\.utf-\?8' || locale=C
if ! server "$bindir/initdb" -D "$dir/data" -U "$role" -A trust -E UTF8 --locale="$locale" \
  >"$dir/initdb.log" 2>&1; then
  cat "$dir/initdb.log" >&2
  exit 1
fi
started=yes
if ! server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
  -o "-c unix_socket_directories='$dir' -c listen_addresses='' -c port=$port -c fsync=off \
-c synchronous_commit=off -c full_page_writes=off" start >/dev/null; then
  cat "$dir/server.log" >&2 || true
  exit 1
fi

export PGHOST="$dir" PGPORT="$port" PGUSER="$role" PGDATABASE=postgres
export VELMORA_TEST_SERVER="postgresql://$role@/postgres?host=$dir&port=$port"
"$psql_bin" -X -q -v ON_ERROR_STOP=1 -d template1 -c 'CREATE EXTENSION IF NOT EXISTS citext' >/dev/null

# COMMAND runs in the background so that a signal to this script is handled at once (bash runs
# a trap only after a foreground command ends); the cleanup then stops COMMAND first.
"$@" <&0 &
child=$!
set +e
wait "$child"
status=$?
set -e
child=""
exit "$status"
