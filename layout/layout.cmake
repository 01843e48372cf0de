# win32 tree only: the patterns, the payload item list and the product files
# need the images of both architectures (the win64 tree is built first).
if(NOT WIN64_BUILD_DIR)
  message(FATAL_ERROR "layout: WIN64_BUILD_DIR is not set (build with make win32)")
endif()
set(KBD_DIR64 ${WIN64_BUILD_DIR}/layout)
set(KBD_DLLS64 "")
foreach(image ${KBD_IMAGES})
  list(APPEND KBD_DLLS64 ${KBD_DIR64}/kbdkresk_${image}.dll)
endforeach()

include(${CMAKE_CURRENT_SOURCE_DIR}/docs.cmake)

# Fails the build unless every pattern occurs exactly once in every image it
# is applied to and every patched place lies inside its image.
set(PATTERNS ${CMAKE_CURRENT_BINARY_DIR}/patterns.txt)
set(ITEMS ${CMAKE_CURRENT_BINARY_DIR}/items.txt)
add_custom_command(
  OUTPUT ${PATTERNS} ${ITEMS}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/kbdpatterns.py ${KBD_SOURCE}
          ${CMAKE_CURRENT_BINARY_DIR} ${KBD_DIR64} ${PATTERNS} ${ITEMS}
          ${SHARED_DOC} ${POINTER_TARGET} ${USER_GUIDE}
  DEPENDS ${KBD_DLLS} ${KBD_DLLS64} ${KBD_SOURCE} ${CMAKE_SOURCE_DIR}/tools/kbdpatterns.py
          ${CMAKE_SOURCE_DIR}/tools/kbdsrc.py
  COMMENT "Deriving the tailoring patterns and the payload item list")
add_custom_target(layout_payload ALL DEPENDS ${PATTERNS} ${ITEMS} ${PRODUCT_FILES})

# The verifiers run under Wine: the 32-bit one in 32-bit prefixes and in a
# 64-bit one, the 64-bit one (built in the win64 tree) in a 64-bit prefix.
string(REPLACE "/" "\\" patterns_win "Z:${PATTERNS}")
include(${CMAKE_SOURCE_DIR}/cmake/wine.cmake OPTIONAL RESULT_VARIABLE have_wine)
if(have_wine)
  add_wine_test(NAME layout_verify_x86 COMMAND verify_layouts ${patterns_win} OS winxp TIMEOUT 300)
  add_wine_test(NAME layout_verify_x86_win2k COMMAND verify_layouts ${patterns_win} OS win2k TIMEOUT 300)
  # The 32-bit images as a 32-bit program on 64-bit Windows sees them.
  add_wine_test(NAME layout_verify_x86_wow64 COMMAND verify_layouts ${patterns_win} OS win7 TIMEOUT 300)
  add_wine_test(NAME layout_verify_amd64 COMMAND ${KBD_DIR64}/verify_layouts.exe ${patterns_win}
                OS win7 TIMEOUT 300)
endif()
