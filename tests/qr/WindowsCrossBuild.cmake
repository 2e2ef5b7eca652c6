# The QR module for Windows: cross-built with mingw-w64 as a second CMake
# project (cmake/windows-qr) during this build, and run here under Wine as
# part of this build's tests:
#   windows.wine_prefix          makes the Wine prefix of this build folder
#                                once (the first start takes a while)
#   windows.quillmark_qr_tests   the module's tests, as Windows program
#   QrCliOnWindows.*             quillmark-qr.exe against the Linux tool
# Where Wine or the cross compiler is missing, the entries say so and are
# skipped.
option(QUILLMARK_WINDOWS_TESTS "Cross-build the QR module for Windows and test it under Wine" ON)
if(NOT QUILLMARK_WINDOWS_TESTS)
  return()
endif()

set(_windows ${CMAKE_BINARY_DIR}/windows)
find_program(QUILLMARK_MINGW_CXX x86_64-w64-mingw32-g++-posix)
# Debian's wine64 package keeps its loader out of PATH.
find_program(QUILLMARK_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine)

if(NOT QUILLMARK_MINGW_CXX)
  message(STATUS "Windows cross build: x86_64-w64-mingw32-g++-posix not found; its tests are skipped")
  add_test(NAME windows.cross_build COMMAND sh -c
    "echo 'x86_64-w64-mingw32-g++-posix was not found: the Windows cross build is skipped (scripts/install-deps installs it).' >&2; exit 77")
  set_tests_properties(windows.cross_build PROPERTIES SKIP_RETURN_CODE 77)
  return()
endif()
if(NOT QUILLMARK_WINE)
  set(QUILLMARK_WINE /usr/lib/wine/wine64)
endif()

set(QUILLMARK_WINE_PREFIX ${_windows}/wineprefix)
set(_wine_run ${_windows}/wine-run)
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${_wine_run} @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(_cross_args
  -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_CROSSCOMPILING_EMULATOR=${_wine_run}
  -DQUILLMARK_WERROR=${QUILLMARK_WERROR})
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND _cross_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

include(ExternalProject)
# Built every time this build runs (its own make decides what changed); it
# holds only the QR module, quillmark-qr, GoogleTest and the module's tests.
ExternalProject_Add(quillmark_qr_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/windows-qr
  PREFIX ${_windows}/ep
  BINARY_DIR ${_windows}/build
  CMAKE_ARGS ${_cross_args}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
set(_windows_bin ${_windows}/build/bin)

add_test(NAME windows.wine_prefix COMMAND ${_wine_run} --boot)
set_tests_properties(windows.wine_prefix PROPERTIES
  FIXTURES_SETUP QuillmarkWine SKIP_RETURN_CODE 77 TIMEOUT 900)

add_test(NAME windows.quillmark_qr_tests COMMAND ${_wine_run} ${_windows_bin}/quillmark_qr_tests.exe)
set_tests_properties(windows.quillmark_qr_tests PROPERTIES
  FIXTURES_REQUIRED QuillmarkWine SKIP_RETURN_CODE 77)

quillmark_add_test(quillmark_qr_wine_tests GTEST
  SOURCES wine_cli_test.cpp
  PROPERTIES FIXTURES_REQUIRED QuillmarkWine)
target_compile_definitions(quillmark_qr_wine_tests PRIVATE
  QUILLMARK_QR_CLI="$<TARGET_FILE:quillmark-qr>"
  QUILLMARK_QR_CLI_EXE="${_windows_bin}/quillmark-qr.exe"
  QUILLMARK_WINE_RUN="${_wine_run}")
add_dependencies(quillmark_qr_wine_tests quillmark-qr quillmark_qr_windows)
