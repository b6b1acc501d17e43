# libFuzzer targets (clang). The core libraries are built with coverage instrumentation so
# that the fuzzers see into them; `make fuzz` runs them.
foreach(library IN LISTS GLYFOR_CORE_LIBRARIES)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
endforeach()
set(GLYFOR_FUZZERS fuzz_set_text fuzz_scan fuzz_settings fuzz_literal_scan fuzz_font_reader)
foreach(fuzzer IN LISTS GLYFOR_FUZZERS)
  add_executable(${fuzzer} tests/${fuzzer}.cpp)
  target_link_libraries(${fuzzer} PRIVATE glyfor_app)
  target_compile_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
  target_link_options(${fuzzer} PRIVATE -fsanitize=fuzzer)
endforeach()
