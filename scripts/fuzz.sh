#!/bin/sh
# Builds the libFuzzer targets with clang into build-fuzz and runs each for a while (seconds,
# the first argument, default 60), starting from its stored corpus in tests/fuzz/corpus. The
# targets after it (all when none is named) are the ones run.
# Inputs the search adds go to build-fuzz/corpus, findings to build-fuzz/findings; the run
# fails when a target reports one.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"batch_splitter statement_splitter connection_string connection_string_mask data_link_file command_line
    delimited_record_reader sheet_data_writer rowset_xml_writer"}

if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
    echo "make fuzz needs clang and its libFuzzer runtime, which are not installed." >&2
    echo "Install them (on Debian: apt-get install clang libclang-rt-dev) and run make fuzz again." >&2
    exit 1
fi
probe=$(mktemp -d /tmp/torvane-fuzz-probe.XXXXXX)
trap 'rm -rf "$probe"' EXIT
printf '#include <cstdint>\n#include <cstddef>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" >"$probe/log" 2>&1; then
    echo "clang is installed but cannot build a libFuzzer target:" >&2
    cat "$probe/log" >&2
    echo "Install clang's runtime libraries (on Debian: apt-get install libclang-rt-dev) and run make fuzz again." >&2
    exit 1
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_FUZZ=ON >/dev/null
cmake --build build-fuzz --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Absolute paths: a target may change its working folder.
root=$(pwd)
failed=""
for t in $targets; do
    mkdir -p "build-fuzz/corpus/$t" "build-fuzz/findings/$t"
    echo "== $t: ${seconds}s"
    if ! "$root/build-fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$root/build-fuzz/findings/$t/" "$root/build-fuzz/corpus/$t" "$root/tests/fuzz/corpus/$t"; then
        failed="$failed $t"
    fi
done
if [ -n "$failed" ]; then
    echo "Findings in:$failed (inputs in build-fuzz/findings)" >&2
    exit 1
fi
echo "No findings."
