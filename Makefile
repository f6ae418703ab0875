# Entry points: `make run`, `make test`, `make bench`. Each runs the idempotent set-up first.
.PHONY: setup build run test bench clean

setup:
	./scripts/setup.sh

build: setup

run: setup
	./scripts/run.sh

test: setup
	./scripts/test.sh

bench: setup
	./scripts/bench.sh

clean:
	rm -rf build
