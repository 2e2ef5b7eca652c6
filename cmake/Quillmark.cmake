# Options every target of the project links: language standard, warnings,
# Qt strictness and (on request) the sanitizers.
add_library(quillmark_options INTERFACE)
# Includes name their folder ("erp/RecordSet.h"): the repository root is
# the one include directory every target gets, here and nowhere else.
get_filename_component(QUILLMARK_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
target_include_directories(quillmark_options INTERFACE ${QUILLMARK_SOURCE_ROOT})
target_compile_features(quillmark_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
if(MSVC)
  target_compile_options(quillmark_options INTERFACE /W4 /utf-8 /permissive-)
else()
  target_compile_options(quillmark_options INTERFACE -Wall -Wextra
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wshadow)
endif()
if(QUILLMARK_WERROR)
  if(MSVC)
    target_compile_options(quillmark_options INTERFACE /WX)
  else()
    target_compile_options(quillmark_options INTERFACE -Werror)
  endif()
endif()
target_compile_definitions(quillmark_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

if(QUILLMARK_SANITIZE AND NOT MSVC)
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(quillmark_options INTERFACE ${_san})
  target_link_options(quillmark_options INTERFACE ${_san})
endif()

# quillmark_add_test(NAME GTEST|QTEST [OWN_MAIN] SOURCES ... LIBS ...
#                    [ENVIRONMENT "k=v;..."] [PROPERTIES name value ...])
# The one way a test joins the build. GTEST: a GoogleTest executable whose
# test cases become one CTest test each (discovered before they run); it
# links GoogleTest's main unless OWN_MAIN says the sources bring their own.
# QTEST: one QtTest executable (windows), one CTest test. Every test runs on
# the offscreen platform. ENVIRONMENT adds variables (QTEST only: discovered
# tests' properties cannot carry a list, so a GoogleTest test that needs
# more of the environment sets it in its own code); PROPERTIES adds
# single-valued test properties. GoogleTest comes from the system unless
# the project has built it from source (the Windows cross build).
function(quillmark_add_test name)
  cmake_parse_arguments(ARG "GTEST;QTEST;OWN_MAIN" "" "SOURCES;LIBS;ENVIRONMENT;PROPERTIES" ${ARGN})
  if(ARG_GTEST STREQUAL ARG_QTEST)
    message(FATAL_ERROR "quillmark_add_test(${name}): say GTEST or QTEST")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quillmark_options ${ARG_LIBS})
  if(ARG_GTEST)
    if(ARG_ENVIRONMENT)
      message(FATAL_ERROR "quillmark_add_test(${name}): ENVIRONMENT is for QTEST tests")
    endif()
    if(NOT TARGET GTest::gtest)
      find_package(GTest REQUIRED)
    endif()
    target_link_libraries(${name} PRIVATE GTest::gtest)
    if(NOT ARG_OWN_MAIN)
      target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen ${ARG_PROPERTIES})
  else()
    target_link_libraries(${name} PRIVATE Qt6::Test Qt6::Widgets)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}" ${ARG_PROPERTIES})
  endif()
endfunction()
