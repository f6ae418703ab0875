#!/bin/sh
# Starts Torvane on the bundled sample database (a DSN-less SQLite3 connection). Without a
# display, runs the sample script through the data layer instead and prints the results.
set -eu
cd "$(dirname "$0")/.."
db="$(pwd)/build/sample.db"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/app/torvane -C "Provider=MSDASQL;Driver=SQLite3;Database=$db"
fi
if [ -x ./build/ado/tools/torvane-dbcheck ]; then
    sed 's/^GO[[:space:]]*$/;/' samples/sample-run.sql |
        ./build/ado/tools/torvane-dbcheck "Driver=SQLite3;Database=$db" -
else
    sqlite3 "$db" .tables
    echo "The command-line batch run comes later; these are the sample database's tables."
fi
