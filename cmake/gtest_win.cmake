# kreska_gtest_win: GoogleTest with its main(), cross-compiled for i686 from
# Debian's sources (package googletest) and linked statically. The tree builds
# without exceptions and RTTI; GoogleTest detects that from the compiler and
# falls back to its exception-free paths.
#   target_link_libraries(my_win_test PRIVATE kreska_gtest_win)
#   add_wine_test(NAME my_win_test COMMAND my_win_test)
include_guard(GLOBAL)

set(KRESKA_GTEST_SRC /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${KRESKA_GTEST_SRC}/src/gtest-all.cc)
  message(FATAL_ERROR "GoogleTest sources not found in ${KRESKA_GTEST_SRC} (apt-get install googletest)")
endif()

# tests/gtest_win supplies GoogleTest's port customisation for the win32
# thread model; its include folder must come before GoogleTest's own.
set(port_dir ${CMAKE_SOURCE_DIR}/tests/gtest_win)
add_library(kreska_gtest_win STATIC
  ${KRESKA_GTEST_SRC}/src/gtest-all.cc
  ${KRESKA_GTEST_SRC}/src/gtest_main.cc
  ${port_dir}/notification.cc)
target_include_directories(kreska_gtest_win SYSTEM BEFORE
  PUBLIC ${port_dir}/include ${KRESKA_GTEST_SRC}/include
  PRIVATE ${KRESKA_GTEST_SRC})
target_compile_definitions(kreska_gtest_win PUBLIC GTEST_HAS_EXCEPTIONS=0 GTEST_HAS_RTTI=0)
# GoogleTest's own Windows code wants a newer SDK level than the product's.
target_compile_options(kreska_gtest_win PRIVATE -w -U_WIN32_WINNT -D_WIN32_WINNT=0x0600
                       -UWINVER -DWINVER=0x0600)
