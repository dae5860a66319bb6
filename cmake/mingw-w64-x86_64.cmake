# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix; wine64 runs the result). The posix flavour has
# std::thread and friends; -static puts libstdc++, libgcc and winpthread into
# each .exe, so it runs on a Windows machine with nothing else installed.
# scripts/windows uses it.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DSUIREI_WINDOW=OFF -DSUIREI_TESTS=OFF -DSUIREI_BENCH=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
# A player downloads the game: a release build is made small (a click takes
# a fraction of a microsecond either way), and the linker leaves out every
# function and datum nothing uses.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Flags of a release build")

