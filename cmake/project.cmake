# Shared helpers every folder can use; included from the root CMakeLists.txt.
find_program(PYTHON3 python3 REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
if(TREE STREQUAL "win32")
  include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/gtest_win.cmake)
endif()
