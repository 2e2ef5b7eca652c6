// A failure inside the QR module ends the program with exit code 0 after
// one error box titled "程序运行异常提示", and main unwinds: what it made
// is destroyed. Before the event loop and inside it.
#include <QProcess>
#include <QTest>

class QrFatalReportTest : public QObject {
    Q_OBJECT
private slots:
    void reportShowsTheErrorBoxAndEndsWithCodeZero_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("inLoop");
        QTest::newRow("before the event loop") << QStringList() << false;
        QTest::newRow("inside an event") << QStringList{QStringLiteral("event")} << true;
    }

    void reportShowsTheErrorBoxAndEndsWithCodeZero()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, inLoop);
        QProcess probe;
        probe.start(QStringLiteral(QUILLMARK_QR_FATAL_PROBE), arguments);
        QVERIFY(probe.waitForFinished(30000));
        const QString out = QString::fromUtf8(probe.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(probe.readAllStandardError());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QVERIFY2(probe.exitCode() == 0, qPrintable(out + err));
        QVERIFY2(out.startsWith(QStringLiteral("程序运行异常提示\n异常来源：[")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("]\r\n方法名称：")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("()\r\n异常信息：没有编码内容\n2\n")), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("returned")), qPrintable(out));
        // The loop ended by itself and main's objects were destroyed.
        QCOMPARE(out.contains(QStringLiteral("loop ended\n")), inLoop);
        QVERIFY2(out.endsWith(QStringLiteral("destroyed\n")), qPrintable(out));
    }
};

QTEST_MAIN(QrFatalReportTest)
#include "QrFatalReportTest.moc"
