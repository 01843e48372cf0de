# Fuzz target and benchmark of the format engine. Each runs in a tree of its
# own (see the Makefile): build/fuzz with clang and libFuzzer, build/bench in
# Release without sanitizers.
if(NOT TREE STREQUAL "host")
  return()
endif()

option(KRESKA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(KRESKA_FUZZ)
  target_compile_options(text PRIVATE -fsanitize=fuzzer-no-link)
  add_executable(format_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/tests/format_fuzz.cpp)
  target_compile_options(format_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_options(format_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_libraries(format_fuzz PRIVATE text)
endif()

find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(format_bench ${CMAKE_CURRENT_SOURCE_DIR}/tests/format_bench.cpp)
  target_link_libraries(format_bench PRIVATE text benchmark::benchmark)
endif()
