# Cross build of the whole program for 64-bit Windows: the mingw-w64
# toolchain (cmake/mingw-w64-x86_64.cmake) plus Qt for Windows, made by
# scripts/windows-qt in QUILLMARK_QT_WINDOWS (by default
# ~/.cache/quillmark/qt6-windows-6.4.2). Qt's DLLs link the compiler's
# runtime as DLLs, so the programs do too (one C++ runtime per process);
# the installer ships those DLLs beside them. Qt's build tools (moc, rcc,
# uic) come from the host's Qt of the same version.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")

if(NOT QUILLMARK_QT_WINDOWS)
  if(DEFINED ENV{QUILLMARK_QT_WINDOWS})
    set(QUILLMARK_QT_WINDOWS $ENV{QUILLMARK_QT_WINDOWS})
  else()
    set(QUILLMARK_QT_WINDOWS $ENV{HOME}/.cache/quillmark/qt6-windows-6.4.2)
  endif()
endif()
set(QUILLMARK_QT_WINDOWS ${QUILLMARK_QT_WINDOWS} CACHE PATH "Qt for Windows (scripts/windows-qt)")
list(APPEND CMAKE_FIND_ROOT_PATH ${QUILLMARK_QT_WINDOWS})
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
