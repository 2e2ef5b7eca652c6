// A failure inside the QR module ends the program with exit code 0 after
// one error box titled "程序运行异常提示".
#include <QProcess>
#include <QTest>

class QrFatalReportTest : public QObject {
    Q_OBJECT
private slots:
    void reportShowsTheErrorBoxAndEndsWithCodeZero()
    {
        QProcess probe;
        probe.start(QStringLiteral(QUILLMARK_QR_FATAL_PROBE), {});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        const QString out = QString::fromUtf8(probe.readAllStandardOutput());
        QVERIFY2(out.startsWith(QStringLiteral("程序运行异常提示\n异常来源：[")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("]\r\n方法名称：")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("()\r\n异常信息：没有编码内容\n2\n")), qPrintable(out));
        QVERIFY(!out.contains(QStringLiteral("returned")));
    }
};

QTEST_MAIN(QrFatalReportTest)
#include "QrFatalReportTest.moc"
