# Packs the payload again into a scratch folder with the build's own inputs
# and compares the result with the built payload, byte for byte.
#   cmake -DPACK=... -DCONTENT=... -DLAYOUT_ITEMS=... -DLAYOUT_PATTERNS=...
#         -DBUILT_BIN=... -DBUILT_HEADER=... -DSCRATCH=... -P repack_compare.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(
  COMMAND ${PACK} --content ${CONTENT} --payload ${SCRATCH}/payload.bin --header ${SCRATCH}/payload.h
          --layout-items ${LAYOUT_ITEMS} --texts-extra-common ${LAYOUT_PATTERNS}
  RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the packer failed (${status})")
endif()
foreach(pair "${BUILT_BIN};${SCRATCH}/payload.bin" "${BUILT_HEADER};${SCRATCH}/payload.h")
  list(GET pair 0 built)
  list(GET pair 1 again)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${built} ${again} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${built} differs from a second packing of the same inputs")
  endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
