# Cross-compiles the suite for 64-bit Windows with the mingw-w64 compiler of
# the Debian packages (the POSIX threads flavour, which the C++ library's
# threads need). Use:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SUITE_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SUITE_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SUITE_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${SUITE_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SUITE_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
