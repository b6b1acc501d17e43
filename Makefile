# Thin wrapper over the CMake presets.
.PHONY: test deps native windows fuzz bench

test: deps native windows fuzz

deps:
	tools/install-deps test

native:
	cmake --workflow --preset native

windows:
	cmake --workflow --preset windows

fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	build/bench/benchmarks
