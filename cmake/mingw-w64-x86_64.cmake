# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, so
# std::thread and std::mutex work). Programs are linked statically: an .exe
# runs on a workstation (or under Wine) without the compiler's DLLs.
#
#   cmake -S cmake/windows-qr -B build/windows \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${_mingw}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_mingw}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_mingw}-windres)
find_program(CMAKE_AR NAMES ${_mingw}-gcc-ar-posix ${_mingw}-ar)
find_program(CMAKE_RANLIB NAMES ${_mingw}-gcc-ranlib-posix ${_mingw}-ranlib)

# Headers and libraries come from the mingw-w64 tree only; build tools from
# the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
