#!/bin/sh
# Until the program's window exists: opens the bundled sample database through the data layer
# and prints the results of the sample batch as CSV.
set -eu
cd "$(dirname "$0")/.."
sed 's/^GO[[:space:]]*$/;/' samples/sample-run.sql |
    ./build/ado/tools/torvane-dbcheck "Driver=SQLite3;Database=$(pwd)/build/sample.db" -
