#pragma once
// Points unixODBC at the test-local odbcinst.ini the build wrote (see
// OdbcFixture.cmake). Called first thing in main(), before any driver loads.
#include <QByteArray>

inline void useTestOdbcDrivers()
{
#ifdef QUILLMARK_TEST_ODBCSYSINI
    qputenv("ODBCSYSINI", QByteArray(QUILLMARK_TEST_ODBCSYSINI));
    qputenv("ODBCINSTINI", QByteArray("odbcinst.ini"));
#endif
}
