# Cross-building for the host's platform (64-bit Windows) with Debian's MinGW-w64 compilers,
# the POSIX-threads flavour (std::thread and std::mutex need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VISTORB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VISTORB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VISTORB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VISTORB_MINGW_TRIPLE}-windres)

# Libraries and headers come from the target's tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VISTORB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests (and their discovery while building) run the built programs under Wine, in a Wine
# prefix of the build tree's own, without Wine's debug chatter.
# (A tree that only compiles, as the check against the host's SDK does, needs no Wine.)
find_program(VISTORB_WINE NAMES wine64 wine)
if(VISTORB_WINE)
  set(VISTORB_WINEPREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH "Wine prefix for running the tests")
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${VISTORB_WINEPREFIX} WINEDEBUG=-all ${VISTORB_WINE})
endif()
