# Entry points: `make run`, `make test`, `make test-asan`, `make bench`, `make fuzz`. Each runs the idempotent set-up first.
.PHONY: setup build run test test-asan bench fuzz clean

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

clean:
	rm -rf build build-asan build-fuzz
