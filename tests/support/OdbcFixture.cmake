# Test-local ODBC set-ups: one odbcinst.ini per directory that registers a
# real driver under the name "SQL Server", the name the program asks for.
#  odbc-sqlite/  the SQLite ODBC driver: the ODBC code path runs for real
#                against SQLite files.
#  odbc-freetds/ FreeTDS, the driver a Linux workstation uses for SQL Server;
#                the tests aim it at a closed port.
# Tests select one with ODBCSYSINI=<dir> and ODBCINSTINI=odbcinst.ini.
find_library(QUILLMARK_SQLITE_ODBC_DRIVER NAMES sqlite3odbc
  PATH_SUFFIXES odbc PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/odbc /usr/lib/odbc)
find_library(QUILLMARK_FREETDS_ODBC_DRIVER NAMES tdsodbc
  PATH_SUFFIXES odbc PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/odbc /usr/lib/odbc)

set(QUILLMARK_ODBC_SQLITE_DIR ${CMAKE_CURRENT_BINARY_DIR}/odbc-sqlite)
set(QUILLMARK_ODBC_FREETDS_DIR ${CMAKE_CURRENT_BINARY_DIR}/odbc-freetds)
if(QUILLMARK_SQLITE_ODBC_DRIVER)
  file(WRITE ${QUILLMARK_ODBC_SQLITE_DIR}/odbcinst.ini
    "[SQL Server]\nDescription=SQLite ODBC driver under the SQL Server name\nDriver=${QUILLMARK_SQLITE_ODBC_DRIVER}\n")
else()
  message(WARNING "SQLite ODBC driver not found (Debian: libsqliteodbc): ODBC tests will fail")
endif()
if(QUILLMARK_FREETDS_ODBC_DRIVER)
  file(WRITE ${QUILLMARK_ODBC_FREETDS_DIR}/odbcinst.ini
    "[SQL Server]\nDescription=FreeTDS\nDriver=${QUILLMARK_FREETDS_ODBC_DRIVER}\nTDS_Version=7.4\n")
else()
  message(WARNING "FreeTDS ODBC driver not found (Debian: tdsodbc): connection-failure tests will fail")
endif()

set(QUILLMARK_ODBC_SQLITE_ENV "ODBCSYSINI=${QUILLMARK_ODBC_SQLITE_DIR};ODBCINSTINI=odbcinst.ini;ASAN_OPTIONS=detect_leaks=0")
set(QUILLMARK_ODBC_FREETDS_ENV "ODBCSYSINI=${QUILLMARK_ODBC_FREETDS_DIR};ODBCINSTINI=odbcinst.ini;ASAN_OPTIONS=detect_leaks=0")
