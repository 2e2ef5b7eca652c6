# The test suites of the Windows build: the logic and window suites that
# need neither CUPS nor zbar (both Linux libraries), built as Windows
# programs. The main build runs each under Wine (tests/windows). GoogleTest
# comes from its sources, built with the same compiler.
set(QUILLMARK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${QUILLMARK_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${QUILLMARK_GTEST_SOURCE_DIR}: "
    "install Debian's googletest package (scripts/install-deps)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QUILLMARK_GTEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)

set(_tests ${QUILLMARK_ROOT}/tests)

# quillmark_windows_test(NAME gtest|qtest [OWN_MAIN] SOURCES ... LIBS ...)
function(quillmark_windows_test name kind)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  set(_sources)
  foreach(s ${ARG_SOURCES})
    list(APPEND _sources ${_tests}/${s})
  endforeach()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE quillmark_options ${ARG_LIBS})
  if(kind STREQUAL gtest)
    if(NOT ARG_OWN_MAIN)
      target_sources(${name} PRIVATE ${_tests}/windows/GTestMain.cpp)
    endif()
    target_link_libraries(${name} PRIVATE GTest::gtest Qt6::Core)
  else()
    target_link_libraries(${name} PRIVATE Qt6::Test Qt6::Widgets)
  endif()
  set_property(GLOBAL APPEND PROPERTY QUILLMARK_WINDOWS_TESTS ${name})
endfunction()

quillmark_windows_test(app_core_test gtest
  SOURCES app/PasswordCipherTest.cpp app/OperationLogTest.cpp app/SettingsTest.cpp app/TextCodecTest.cpp
  LIBS quillmark_app Qt6::Core)
quillmark_windows_test(erp_sql_test gtest
  SOURCES erp/SqlRewriterTest.cpp erp/SqlTextTest.cpp
  LIBS quillmark_erp)
quillmark_windows_test(station_logic_test gtest
  SOURCES station/StationLogicTest.cpp
  LIBS quillmark_station Qt6::Test)
quillmark_windows_test(scanner_selftest_test gtest
  SOURCES scanner_setup/ScanSelfTestTest.cpp
  LIBS quillmark_scanner_setup)
quillmark_windows_test(start_window_test qtest
  SOURCES shell/StartWindowTest.cpp
  LIBS quillmark_shell)
quillmark_windows_test(station_window_test qtest
  SOURCES station/ScanWindowTest.cpp
  LIBS quillmark_station quillmark_demo_erp Qt6::Sql)
# The data suites: the staging table, the voucher, the station hold and the
# master data on the embedded ERP, and over ODBC to the host's driver. The
# helper programs they start are Windows programs too; Wine opens them by
# their Z: path.
add_executable(bookings_voucher_probe ${_tests}/bookings/VoucherProbe.cpp)
target_link_libraries(bookings_voucher_probe PRIVATE quillmark_options quillmark_bookings)
quillmark_windows_test(bookings_data_test gtest
  SOURCES bookings/QuantityTest.cpp bookings/StagingTableTest.cpp bookings/StatementsTest.cpp
          bookings/VoucherWriterTest.cpp
  LIBS quillmark_bookings quillmark_demo_erp Qt6::Sql)
target_compile_definitions(bookings_data_test PRIVATE
  QUILLMARK_VOUCHER_PROBE="Z:$<TARGET_FILE:bookings_voucher_probe>")
add_dependencies(bookings_data_test bookings_voucher_probe)
quillmark_windows_test(bookings_station_hold_test gtest OWN_MAIN
  SOURCES bookings/StationHoldTest.cpp
  LIBS quillmark_bookings Qt6::Sql)
quillmark_windows_test(erp_data_test gtest
  SOURCES erp/DemoDataTest.cpp erp/DemoErpTest.cpp erp/MasterDataTest.cpp
  LIBS quillmark_erp quillmark_demo_erp Qt6::Sql)
target_compile_definitions(erp_data_test PRIVATE
  QUILLMARK_DEMO_ERP_PROGRAM="Z:$<TARGET_FILE:quillmark-demo-erp>")
add_executable(station_rewrite_probe ${_tests}/station/RewriteProbe.cpp)
target_link_libraries(station_rewrite_probe PRIVATE quillmark_options quillmark_station)
quillmark_windows_test(station_staging_test qtest
  SOURCES station/StagingSyncTest.cpp
  LIBS quillmark_station quillmark_demo_erp Qt6::Sql)
target_compile_definitions(station_staging_test PRIVATE
  QUILLMARK_REWRITE_PROBE="Z:$<TARGET_FILE:station_rewrite_probe>")
add_dependencies(station_staging_test station_rewrite_probe)

# A QR module failure ends the Windows program as it ends the Linux one:
# the box, exit code 0, and main unwinding through Qt's event delivery.
add_executable(qr_fatal_probe ${_tests}/shell/QrFatalProbe.cpp)
target_link_libraries(qr_fatal_probe PRIVATE quillmark_options quillmark_shell)
quillmark_windows_test(qr_fatal_report_test qtest
  SOURCES shell/QrFatalReportTest.cpp)
target_compile_definitions(qr_fatal_report_test PRIVATE QUILLMARK_QR_FATAL_PROBE="Z:$<TARGET_FILE:qr_fatal_probe>")
add_dependencies(qr_fatal_report_test qr_fatal_probe)

# The ODBC case of the scanning-window suite reaches the host's unixODBC
# through Wine's odbc32; the runner sets ODBCSYSINI in the Unix environment.
# (The tests' support headers are used header-only here: its library holds
# the Linux-only zbar and CUPS helpers.)

# The helper the end-to-end test uses: set.ini written by the program's own
# settings code for given keys (compared with the Linux build's bytes).
add_executable(quillmark_settings_probe ${_tests}/windows/SettingsProbe.cpp)
target_link_libraries(quillmark_settings_probe PRIVATE quillmark_options quillmark_app)

# A list of expected failures left by an earlier build would hide one.
file(REMOVE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/BLACKLIST)

# One label printed by the program's own label code on a printer Wine's
# spooler knows: the main build's windows.labels_through_wine test gives it
# a CUPS queue of CUPS's Zebra driver and reads what the printer receives.
add_executable(label_print_probe ${_tests}/windows/LabelPrintProbe.cpp)
target_link_libraries(label_print_probe PRIVATE quillmark_options quillmark_labels Qt6::Gui)
