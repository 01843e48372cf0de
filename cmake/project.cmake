# Shared helpers every folder can use; included from the root CMakeLists.txt.
find_program(PYTHON3 python3 REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
if(TREE STREQUAL "win32")
  include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/gtest_win.cmake)
endif()

# `make run` finds the installer through this file, wherever its folder puts it.
function(kreska_record_installer_path)
  if(TARGET kreska-setup)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/installer-path.txt CONTENT "$<TARGET_FILE:kreska-setup>")
  endif()
endfunction()
if(TREE STREQUAL "win32")
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL kreska_record_installer_path)
endif()
