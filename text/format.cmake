# Extra test programs of the format engine.
#
# win32 tree: the shared case table as a Windows GoogleTest program, run under
# Wine. Registered once the whole tree is configured, so that the GoogleTest
# target and the Wine helper may come from folders added after this one.
if(TREE STREQUAL "win32")
  function(kreska_add_format_win_test)
    if(NOT TARGET kreska_gtest_win)
      message(STATUS "format_win_test: no kreska_gtest_win target, not built")
      return()
    endif()
    add_executable(format_win_test ${CMAKE_SOURCE_DIR}/tests/win/format_win_test.cpp)
    target_link_libraries(format_win_test PRIVATE text kreska_gtest_win)
    if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/wine.cmake)
      include(${CMAKE_SOURCE_DIR}/cmake/wine.cmake)
      add_wine_test(NAME format_win COMMAND format_win_test)
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL kreska_add_format_win_test)
endif()

# host tree: the fuzz target and the benchmark. Each runs in a tree of its own
# (see the Makefile): build/fuzz with clang and libFuzzer, build/bench in
# Release without sanitizers.
if(NOT TREE STREQUAL "host")
  return()
endif()

# The text library itself gets coverage instrumentation in CMakeLists.txt.
option(KRESKA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(KRESKA_FUZZ)
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
