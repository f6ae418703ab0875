#!/bin/sh
# Starts Torvane on the bundled sample database, with the sample script in its query window.
# Without a display the sample script runs through the command-line batch run instead: the run
# reports on standard error, and each result set it saved is printed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
program="$root/build/app/torvane"
connect="Provider=MSDASQL;Driver=SQLite3;Database=$root/build/sample.db"
script="$root/samples/sample-run.sql"

# The plugins of this build, registered for the user so that the query window's commands find
# them (a failure is only reported: the program registers them itself on first use).
"$root/build/platform/torvane-regsvr" "$root"/build/lib/torvane/lib*.so ||
    echo "run.sh: the plugins could not be registered" >&2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" -C "$connect" -f "$script"
fi

out=$(mktemp -d /tmp/torvane-run.XXXXXX)
trap 'rm -rf "$out"' EXIT INT TERM
status=0
"$program" -C "$connect" -i "$script" -o "$out/sample.csv" 2>"$out/run.log" || status=$?
cat "$out/run.log" >&2
# The result sets in the order the run saved them.
sed -n 's/^Saved \(.*\) successfully\.$/\1/p' "$out/run.log" | while IFS= read -r file; do
    echo
    echo "== $(basename "$file")"
    tr -d '\r' < "$file"
done
exit $status
