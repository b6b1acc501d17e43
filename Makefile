# Thin wrapper over the CMake presets.
.PHONY: test deps native

test: deps native

deps:
	tools/install-deps test

native:
	cmake --workflow --preset native
