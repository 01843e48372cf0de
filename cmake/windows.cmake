# kreska_windows_executable(target): makes target a GUI image every supported
# Windows loads: 32-bit GUI subsystem with a wide-character entry point
# (wWinMain), relocatable (ASLR) and marked NX-compatible, with the C and C++
# runtimes linked in so that it imports system DLLs only.
include_guard(GLOBAL)

function(kreska_windows_executable target)
  if(TREE STREQUAL "host")
    message(FATAL_ERROR "kreska_windows_executable(${target}) is for the Windows trees")
  endif()
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON SUFFIX .exe)
  target_link_options(${target} PRIVATE
    -mwindows -municode -static -static-libgcc -static-libstdc++
    -Wl,--dynamicbase -Wl,--nxcompat
    # Same sources, same image: no link time in the header.
    -Wl,--no-insert-timestamp
    # Windows 2000 is version 5.0: it refuses images that ask for more.
    -Wl,--major-os-version,5 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,0)
endfunction()
