#!/bin/sh
# Runs every test through CTest: unit, SQLite, PostgreSQL (on a throw-away cluster) and GUI tests under Xvfb.
# With --asan first, builds into build-asan with the address and undefined-behaviour sanitizers
# and runs the suite there; any finding ends its process, so its test fails.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
builddir=build
if [ "${1:-}" = "--asan" ]; then
    shift
    builddir=build-asan
    # The discovery of tests at build time runs the test programs too.
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1"
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    # The instrumented program runs a few times slower: tests that time how promptly the
    # windows answer allow that much longer.
    export TORVANE_TEST_TIME_SCALE=3
    cmake -S . -B "$builddir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_SANITIZE=ON >/dev/null
    cmake --build "$builddir"
fi
pgdir=$(mktemp -d /tmp/torvane-pg.XXXXXX)
trap '"$root/scripts/pgcluster.sh" stop "$pgdir"' EXIT INT TERM
port=$("$root/scripts/pgcluster.sh" start "$pgdir")
export TORVANE_PG_CONNECT="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$port;Database=postgres;Uid=torvane;Pwd=;"
export TORVANE_PG_PORT="$port"
# Tests keep their settings away from the user's own.
export XDG_CONFIG_HOME="$pgdir/config" XDG_DATA_HOME="$pgdir/data-home" XDG_RUNTIME_DIR="$pgdir/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
# A test run leaves the work tree as it found it: what tests write belongs in temporary folders.
# Build folders are left out; outside a git work tree there is nothing to compare.
tree_state() {
    git -C "$root" status --porcelain --untracked-files=all 2>/dev/null | grep -v '^.. "\{0,1\}build[^/]*/' || true
}
tree_state >"$pgdir/tree-before"
status=0
xvfb-run -a -s "-screen 0 1600x1000x24" \
    ctest --test-dir "$builddir" --output-on-failure -j "$(nproc)" --timeout 600 "$@" || status=$?
if tree_state | grep -vxF -f "$pgdir/tree-before" >"$pgdir/tree-new"; then
    echo "The test run left files in the work tree:" >&2
    cat "$pgdir/tree-new" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
