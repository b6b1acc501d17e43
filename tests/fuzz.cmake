# libFuzzer targets (clang). The core is built with coverage instrumentation so that the
# fuzzers see into it; `make fuzz` runs them.
target_compile_options(glyfor_core PRIVATE -fsanitize=fuzzer-no-link)
set(GLYFOR_FUZZERS fuzz_set_text fuzz_scan fuzz_settings fuzz_font_reader)
foreach(fuzzer IN LISTS GLYFOR_FUZZERS)
  add_executable(${fuzzer} tests/${fuzzer}.cpp)
  target_link_libraries(${fuzzer} PRIVATE glyfor_core)
  target_compile_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
  target_link_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
endforeach()
