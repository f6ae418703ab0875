#!/bin/sh
# Idempotent set-up: installs the Debian packages that are missing, then builds.
# apt-get update runs once, and only when something has to be installed.
set -eu
cd "$(dirname "$0")/.."

PACKAGES="g++ cmake ninja-build make pkg-config git
libwxgtk3.2-dev unixodbc unixodbc-dev odbcinst libsqliteodbc odbc-postgresql
sqlite3 postgresql postgresql-contrib libfmt-dev libxlsxwriter-dev libxslt1-dev libxml2-dev libsqlite3-dev
googletest libgtest-dev xvfb xauth xfonts-base libcups2-dev libx11-dev openbox x11-utils
cups-client python3 ghostscript poppler-utils
clang libclang-rt-dev"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "Installing:$missing"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

if [ "${SETUP_NO_BUILD:-0}" != "1" ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
fi
