#!/bin/sh
# Throw-away PostgreSQL cluster for tests and benchmarks.
#   pgcluster.sh start DIR   -> initdb into DIR, start on a free port of 127.0.0.1, print the port
#   pgcluster.sh stop DIR    -> stop the server and remove DIR
# As root, the server runs as the unprivileged "postgres" user (or "nobody").
set -eu
cmd=$1
dir=$2
PGBIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$PGUSER_OS" -- "$@"
    else
        "$@"
    fi
}

if [ "$(id -u)" -eq 0 ]; then
    if id postgres >/dev/null 2>&1; then PGUSER_OS=postgres; else PGUSER_OS=nobody; fi
fi

case "$cmd" in
start)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown "$PGUSER_OS" "$dir"
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
    as_owner "$PGBIN/initdb" -D "$dir/data" -U torvane --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
    as_owner "$PGBIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-h 127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off" start >/dev/null
    echo "$port" >"$dir/port"
    echo "$port"
    ;;
stop)
    if [ -d "$dir/data" ]; then
        as_owner "$PGBIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
