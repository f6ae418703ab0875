#!/bin/sh
# Runs every test through CTest: unit, SQLite, PostgreSQL (on a throw-away cluster) and GUI tests under Xvfb.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
pgdir=$(mktemp -d /tmp/torvane-pg.XXXXXX)
trap '"$root/scripts/pgcluster.sh" stop "$pgdir"' EXIT INT TERM
port=$("$root/scripts/pgcluster.sh" start "$pgdir")
export TORVANE_PG_CONNECT="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$port;Database=postgres;Uid=torvane;Pwd=;"
export TORVANE_PG_PORT="$port"
# Tests keep their settings away from the user's own.
export XDG_CONFIG_HOME="$pgdir/config" XDG_DATA_HOME="$pgdir/data-home" XDG_RUNTIME_DIR="$pgdir/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1600x1000x24" \
    ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600 "$@"
