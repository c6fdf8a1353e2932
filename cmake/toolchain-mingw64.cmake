# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model:
# the win32 variant has no std::mutex or std::thread). The runtime is linked
# statically so the programs run alone, and Wine runs them for tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOLVI_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLVI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVI_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TOLVI_WINE wine)
if(TOLVI_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVI_WINE})
endif()
