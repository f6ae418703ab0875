# Entry points: `make run`, `make test`, `make test-asan`, `make bench`, `make fuzz`,
# `make install`, `make uninstall`. Each but uninstall runs the idempotent set-up first.
.PHONY: setup build run test test-asan bench fuzz install uninstall clean

# Where `make install` puts the program (bin/, lib/torvane/); it registers the plugins there.
PREFIX ?= $(HOME)/.local

setup:
	./scripts/setup.sh

build: setup

run: setup
	./scripts/run.sh

test: setup
	./scripts/test.sh

# The suite again on a build with the address and undefined-behaviour sanitizers (build-asan/).
test-asan: setup
	./scripts/test.sh --asan

bench: setup
	./scripts/bench.sh

# The libFuzzer targets, built with clang in build-fuzz/, FUZZ_SECONDS each (default 60).
FUZZ_SECONDS ?= 60
fuzz: setup
	./scripts/fuzz.sh $(FUZZ_SECONDS)

install: setup
	cmake --install build --prefix "$(PREFIX)"

# Unregisters the installed plugins, then removes what install put down.
uninstall:
	-"$(PREFIX)/bin/torvane-regsvr" -u "$(PREFIX)/lib/torvane/libTamsel.so" "$(PREFIX)/lib/torvane/libFerrow.so"
	if [ -f build/install_manifest.txt ]; then xargs -d '\n' rm -f < build/install_manifest.txt; fi

clean:
	rm -rf build build-asan build-fuzz
