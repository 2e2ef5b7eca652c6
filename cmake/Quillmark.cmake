# Options every target of the project links: language standard, warnings,
# Qt strictness and (on request) the sanitizers.
add_library(quillmark_options INTERFACE)
target_compile_features(quillmark_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
if(MSVC)
  target_compile_options(quillmark_options INTERFACE /W4 /utf-8 /permissive-)
else()
  target_compile_options(quillmark_options INTERFACE -Wall -Wextra)
endif()
target_compile_definitions(quillmark_options INTERFACE
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

if(QUILLMARK_SANITIZE AND NOT MSVC)
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(quillmark_options INTERFACE ${_san})
  target_link_options(quillmark_options INTERFACE ${_san})
endif()

# quillmark_add_gtest(NAME SOURCES ... LIBS ... [PROPERTIES name value ...])
# One GoogleTest executable; each test case becomes one CTest test on the
# offscreen platform. A test that needs more of the environment sets it in
# its own code: discovered tests' properties cannot carry a list. PROPERTIES
# adds single-valued test properties. GoogleTest comes from the system
# unless the project has built it from source (the Windows cross build).
function(quillmark_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(NOT TARGET GTest::gtest)
    find_package(GTest REQUIRED)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quillmark_options GTest::gtest GTest::gtest_main ${ARG_LIBS})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen ${ARG_PROPERTIES})
endfunction()

# quillmark_add_qtest(NAME SOURCES ... LIBS ...)
# One QtTest executable (windows); runs on the offscreen platform.
function(quillmark_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quillmark_options Qt6::Test Qt6::Widgets ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}")
endfunction()
