#!/bin/sh
# Runs every benchmark (the bench_* programs built from bench/) against SQLite and a
# throw-away PostgreSQL cluster, and prints their tables.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
pgdir=$(mktemp -d /tmp/torvane-bench-pg.XXXXXX)
trap '"$root/scripts/pgcluster.sh" stop "$pgdir"' EXIT INT TERM
port=$("$root/scripts/pgcluster.sh" start "$pgdir")
export TORVANE_PG_CONNECT="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$port;Database=postgres;Uid=torvane;Pwd=;"
export TORVANE_PG_PORT="$port"
status=0
for bench in build/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=1
done
exit $status
