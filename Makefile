# Two commands for a fresh Debian 12 machine: `make demo` and `make test`.
.PHONY: all deps build test demo bench install clean

all: build

deps:
	./scripts/install-deps.sh

build: deps
	cmake --preset linux
	cmake --build --preset linux

test: build
	ctest --preset linux

demo: build
	mkdir -p out
	./build/tools/demo/halvane-demo out

install: build
	cmake --install build

bench: build
	./build/bench/halvane-bench

clean:
	rm -rf build out
