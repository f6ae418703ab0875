# Entry points: `make run`, `make test`, `make test-asan`, `make bench`. Each runs the idempotent set-up first.
.PHONY: setup build run test test-asan bench clean

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

clean:
	rm -rf build build-asan
