# Thin wrapper over the CMake presets.
.PHONY: test deps run native windows fuzz fuzz-build bench dist dist-test

FUZZERS = fuzz_set_text fuzz_scan fuzz_settings fuzz_literal_scan fuzz_font_reader
# Seconds each fuzzer runs, in `make test` as in `make fuzz`.
FUZZ_SECONDS = 30

test: deps native windows fuzz dist-test

deps:
	tools/install-deps test

native:
	cmake --workflow --preset native

windows:
	cmake --workflow --preset windows

# The Windows program under Wine on this display, started in the current directory, which
# keeps its Glyfor.ini. Its Wine prefix is build/wine, made on first use with a proportional
# Japanese system font (tools/wine-run).
run:
	@[ -n "$$DISPLAY" ] || { echo "make run: no display to show the window on (DISPLAY is empty)" >&2; exit 1; }
	tools/install-deps run
	cmake --preset windows
	cmake --build --preset windows --target glyfor
	tools/wine-run --display build/windows/glyfor.exe

# The packages in dist/: glyfor-cli as a Debian package from an optimised native build, and the
# Windows programs as a zip. The Windows build is the tests' own, so its packaging builds them.
dist: deps
	cmake --preset release
	cmake --build --preset release
	cpack --preset deb
	cmake --preset windows
	cmake --build --preset windows
	cpack --preset zip
	rm -rf dist/_CPack_Packages

# Unpacks both packages and runs what they install.
dist-test: dist
	ctest --preset packages

# Each fuzzer keeps its corpus in build/fuzz/corpus; a finding stops make with an error and
# leaves the input as build/fuzz/<fuzzer>-crash-*.
fuzz: fuzz-build
	@set -e; for f in $(FUZZERS); do \
	  mkdir -p build/fuzz/corpus/$$f; \
	  echo "$$f: $(FUZZ_SECONDS) s"; \
	  build/fuzz/$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/$$f- build/fuzz/corpus/$$f 2>build/fuzz/$$f.log \
	    || { tail -n 40 build/fuzz/$$f.log; exit 1; }; \
	  grep -E '^(Done|stat::number_of_executed_units)' build/fuzz/$$f.log; \
	done

fuzz-build:
	cmake --preset fuzz
	cmake --build --preset fuzz --target $(FUZZERS)
	mkdir -p build/fuzz/corpus/fuzz_settings
	{ printf '\000'; cat tests/golden/settings.ini; } >build/fuzz/corpus/fuzz_settings/golden
	mkdir -p build/fuzz/corpus/fuzz_literal_scan
	cp tests/fixtures/literals.c build/fuzz/corpus/fuzz_literal_scan/fixture
	mkdir -p build/fuzz/corpus/fuzz_font_reader
	cp tests/golden/sparse_49.inc tests/golden/sparse_49_ccrl_signed.inc \
	  tests/fuzz_corpus/fuzz_font_reader/*.inc build/fuzz/corpus/fuzz_font_reader/

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	build/bench/benchmarks
