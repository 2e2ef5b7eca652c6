// The SQL Server path with FreeTDS registered as "SQL Server": a server
// that does not answer gives a failure within seconds, not a frozen window.
#include "erp/ErpConnection.h"

#include "tests/support/OdbcSetup.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

TEST(FreeTds, ClosedPortFailsQuickly)
{
    ErpConnection c;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(c.open(QStringLiteral("127.0.0.1,1"), QStringLiteral("sa"), QStringLiteral("a;b"),
                        QStringLiteral("UFDATA_001_2021")));
    EXPECT_LT(clock.elapsed(), (ErpConnection::kLoginTimeoutSeconds + 2) * 1000);
    EXPECT_FALSE(c.isOpen());
    EXPECT_NE(c.lastError().indexOf(QStringLiteral("FreeTDS")), -1) << c.lastError().toStdString();
}

int main(int argc, char** argv)
{
    useTestOdbcDrivers();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
