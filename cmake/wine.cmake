# add_wine_test(NAME name COMMAND target-or-path [ARGS ...]
#               [OS win2k|winxp|vista|win7|win10] [LANG en|pl]
#               [TIMEOUT seconds] [DESKTOP WxH] [HARNESS_ARGS ...])
#
# Registers a ctest test (label "wine") that runs a Windows program in a
# throwaway Wine prefix through tests/wine/harness.py. Every scenario has its
# own prefix and its own Xvfb display, so the tests run in parallel; the
# template prefixes are prepared once by the wine_templates fixture.
# HARNESS_ARGS passes further harness options (--pre, --post, --keep, ...).
include_guard(GLOBAL)

set(KRESKA_WINE_HARNESS ${CMAKE_SOURCE_DIR}/tests/wine/harness.py)

if(NOT TEST wine_templates)
  add_test(NAME wine_templates
           COMMAND ${PYTHON3} ${KRESKA_WINE_HARNESS} template --os win2k --os win7)
  set_tests_properties(wine_templates PROPERTIES
    FIXTURES_SETUP wine_templates LABELS wine TIMEOUT 900)
endif()

function(add_wine_test)
  cmake_parse_arguments(W "" "NAME;OS;LANG;TIMEOUT;DESKTOP" "COMMAND;ARGS;HARNESS_ARGS" ${ARGN})
  if(NOT W_NAME OR NOT W_COMMAND)
    message(FATAL_ERROR "add_wine_test needs NAME and COMMAND")
  endif()
  if(NOT W_OS)
    set(W_OS win7)
  endif()
  if(NOT W_LANG)
    set(W_LANG en)
  endif()
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 120)
  endif()
  # COMMAND is a target or a path, possibly followed by arguments.
  list(POP_FRONT W_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  set(options --os ${W_OS} --lang ${W_LANG} --timeout ${W_TIMEOUT} --name ${W_NAME})
  if(W_DESKTOP)
    list(APPEND options --desktop ${W_DESKTOP})
  endif()
  add_test(NAME ${W_NAME}
           COMMAND ${PYTHON3} ${KRESKA_WINE_HARNESS} run ${options} ${W_HARNESS_ARGS}
                   -- ${program} ${W_COMMAND} ${W_ARGS})
  # ctest's own limit leaves room for copying the prefix and shutting it down.
  math(EXPR ctest_timeout "${W_TIMEOUT} + 60")
  set_tests_properties(${W_NAME} PROPERTIES
    LABELS wine TIMEOUT ${ctest_timeout} FIXTURES_REQUIRED wine_templates)
endfunction()
