// One scanning window per account set, seen from the start window. Two
// programs on one embedded account set: this test is one of them, a probe
// process (station_probe) the other. And a SQL Server station over the real
// ODBC path (SQLite ODBC driver as "SQL Server") whose sp_getapplock
// answers "held by another session".
#include "bookings/StationHold.h"
#include "app/AppPaths.h"
#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "qr/facade.h"
#include "shell/StartWindow.h"
#include "station/ScanWindow.h"
#include "tests/support/ShellTestEnvironment.h"
#include "tools/demo-erp/DemoErp.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kRefusalEnd =
    QStringLiteral("。\n同一账套同时只能打开一个扫码出库窗口，请先关闭那里的扫码出库窗口，或改用其他账套。");

// A second program on the same account set, started as the clerk starts it.
class Probe {
public:
    explicit Probe(const QString& dataDirectory) : m_directory(dataDirectory)
    {
        QFile::remove(QDir(m_directory).filePath(QStringLiteral("close")));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QUILLMARK_STATION_PROBE), {m_directory});
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // The probe's next line of output ("" when none comes in time).
    QString nextLine()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < 30000)
            if (!m_process.waitForReadyRead(100) && m_process.state() == QProcess::NotRunning)
                break;
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    void closeWindow() { QFile(QDir(m_directory).filePath(QStringLiteral("close"))).open(QIODevice::WriteOnly); }
    bool finish() { return m_process.waitForFinished(30000); }
    // SIGKILL: nothing of the probe runs any more, nothing is cleaned up.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QString m_directory;
    QProcess m_process;
};

} // namespace

class StationHoldTest : public QObject {
    Q_OBJECT
private slots:
    // The program starts the QR module in main(); the set-up window needs it.
    void initTestCase() { qr::初始化二维码模块(); }

    void init()
    {
        m_env.reset(new ShellTestEnvironment);
        QVERIFY(m_env->dir.isValid());
        QString error;
        QVERIFY2(demoerp::build(m_env->filePath(u"erp"_s), &error), qPrintable(error));
    }
    void cleanup() { m_env.reset(); }

    // The second program is refused and told who holds the station; once
    // the first has closed its window, or has been killed without any
    // clean-up, the second opens it.
    void twoProgramsOnOneEmbeddedAccountSet()
    {
        const QString probeDirectory = probeDataDirectory();
        StartWindow w;
        w.onCreated();
        {
            Probe first(probeDirectory);
            const QString opened = first.nextLine();
            QVERIFY2(opened.startsWith(QStringLiteral("opened ")), qPrintable(opened));
            const QString since = opened.mid(7);
            QCOMPARE(clickOpens(w, "按钮_在线模式"), QString());
            QCOMPARE(m_env->messages.size(), 1);
            QCOMPARE(m_env->messages[0].text,
                     QStringLiteral("本账套的扫码出库窗口已在计算机“") + QSysInfo::machineHostName()
                         + QStringLiteral("”上打开（自 ") + since + QStringLiteral(" 起）") + kRefusalEnd);

            first.closeWindow();
            QCOMPARE(first.nextLine(), QStringLiteral("closed"));
            QVERIFY(first.finish());
            QCOMPARE(clickOpens(w, "按钮_在线模式"), QStringLiteral("窗口_在线扫码出库"));
        }
        Probe second(probeDirectory);
        QVERIFY(second.nextLine().startsWith(QStringLiteral("opened ")));
        m_env->messages.clear();
        QCOMPARE(clickOpens(w, "按钮_在线模式"), QString());
        QCOMPARE(m_env->messages.size(), 1);
        second.kill();
        // The lock file is still there; only the kernel's lock is gone.
        QVERIFY(QFile::exists(m_env->filePath(u"erp/UFDATA_001_2021.station"_s)));
        QCOMPARE(clickOpens(w, "按钮_在线模式"), QStringLiteral("窗口_在线扫码出库"));
        QCOMPARE(m_env->messages.size(), 1);
    }

    // The real program on an SQLite account set over ODBC (the SQLite ODBC
    // driver as "SQL Server"): the hold is the file lock, the scanning
    // window opens and the clerk scans, deletes a line and writes the
    // voucher; meanwhile an embedded station is refused.
    void realProgramWorksOverOdbcOnAnSqliteAccountSet()
    {
        qputenv("ODBCSYSINI", QByteArray(QUILLMARK_TEST_ODBCSYSINI));
        qputenv("ODBCINSTINI", QByteArray("odbcinst.ini"));
        const QString accountSet = m_env->filePath(u"erp/UFDATA_001_2021.db"_s);
        writeSettings(QStringLiteral("localhost"), accountSet);
        const QString header = QStringLiteral("材料出库单表头");
        settings::writeKey(header, QStringLiteral("仓库"), QStringLiteral("02|五金仓"));
        settings::writeKey(header, QStringLiteral("经手人"), QStringLiteral("0001|王洋国"));
        settings::writeKey(header, QStringLiteral("出库类别"), QStringLiteral("202|生产领料"));
        StartWindow w;
        w.onCreated();
        QVERIFY(w.erp().isOpen());
        QVERIFY(!w.erp().数据库连接.isEmbedded());
        QString opened;
        QStringList grid;
        QString prompt;
        StationHold::Result second = StationHold::Result::Failed;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            auto* window = dynamic_cast<ScanWindow*>(QApplication::activeModalWidget());
            if (!window)
                return;
            opened = window->objectName();
            StationHold other;
            second = other.take(QStringLiteral("sqlite:") + m_env->filePath(u"erp"_s), QStringLiteral("sa"), QString(),
                                QStringLiteral("UFDATA_001_2021"));
            auto* field = window->findChild<QLineEdit*>(QStringLiteral("编辑框_条码"));
            for (const char* code : {"R10001", "QM-001", "M6-25", "QD-PC8-01"}) {
                QTest::keyClicks(field, QString::fromUtf8(code));
                QTest::keyClick(field, Qt::Key_Return);
            }
            window->station().deleteCurrentLine(2);
            const StationGrid& detail = window->station().detailGrid();
            for (int row = 1; row <= detail.dataRowCount(); ++row)
                grid << detail.text(row, 0) + u'|' + detail.text(row, 1);
            // The first press shows what would be written, the second writes.
            for (int press = 0; press < 2; ++press)
                QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("按钮_生成材料出库单")),
                                  Qt::LeftButton);
            prompt = window->station().promptText();
            window->close();
        });
        QTest::mouseClick(w.findChild<QPushButton*>(u"按钮_在线模式"_s), Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("窗口_在线扫码出库"));
        QCOMPARE(second, StationHold::Result::HeldElsewhere);
        QCOMPARE(grid, (QStringList{QStringLiteral("1|QD-PC8-01"), QStringLiteral("2|QM-001")}));
        QVERIFY2(prompt.startsWith(QStringLiteral("材料出库生成完成")), qPrintable(prompt));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
            db.setDatabaseName(accountSet);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("select irowno || '|' || cInvCode from rdrecords11 where ID=(select "
                                          "max(ID) from rdrecord11) order by AutoID")));
            QStringList written;
            while (q.next())
                written << q.value(0).toString();
            QCOMPARE(written, grid);
            QVERIFY(q.exec(QStringLiteral("select count(*) from ckmx")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 0);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    }

    // A refused program keeps working at everything but the scanning
    // window: labels, scanner set-up, header settings.
    void refusedProgramKeepsItsOtherWindows()
    {
        Probe holder(probeDataDirectory());
        QVERIFY(holder.nextLine().startsWith(QStringLiteral("opened ")));
        StartWindow w;
        w.onCreated();
        QCOMPARE(clickOpens(w, "按钮_在线模式"), QString());
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(clickOpens(w, "按钮_打印人员条码"), QStringLiteral("窗口_人员条码打印"));
        QCOMPARE(clickOpens(w, "按钮_打印设备条码"), QStringLiteral("窗口_设备码打印"));
        QCOMPARE(clickOpens(w, "按钮_条码枪设置"), QStringLiteral("窗口_条码枪设置"));
        for (auto* name : {"组合框_仓库", "组合框_经手人", "组合框_出库类别"})
            w.findChild<QComboBox*>(QString::fromUtf8(name))->setCurrentIndex(0);
        QCOMPARE(clickOpens(w, "按钮_保存设置"), QString());
        QCOMPARE(m_env->messages.size(), 2);
        QCOMPARE(m_env->messages[1].text, QStringLiteral("保存成功！"));
    }

    // SQL Server answers -1 (another session holds the lock): the clerk
    // reads who holds it, and no window opens. The hold's connection sends
    // one batch, which answers with the holder.
    void refusedApplicationLockShowsTheHolderAndNoWindow()
    {
        qputenv("ODBCSYSINI", QByteArray(QUILLMARK_TEST_ODBCSYSINI));
        qputenv("ODBCINSTINI", QByteArray("odbcinst.ini"));
        const QString accountSet = m_env->filePath(u"erp/UFDATA_001_2021.db"_s);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            db.setDatabaseName(accountSet);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE quillmark_station (host nvarchar(128), since nvarchar(19))")));
            QVERIFY(
                q.exec(QStringLiteral("INSERT INTO quillmark_station VALUES ('仓库柜台-2', '2021-06-24 08:05:09')")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        writeSettings(QStringLiteral("localhost"), accountSet);

        StartWindow w;
        w.onCreated();
        QVERIFY(w.erp().isOpen());
        ErpConnection& holdConnection = w.stationHold().connection();
        holdConnection.setTracing(true);
        // The lock's batch answers as SQL Server would when another session
        // holds it: -1 and the holder the table names.
        holdConnection.setEngineTextSeam([&](const QString& tsql) -> std::optional<QString> {
            if (tsql.contains(QLatin1String("sp_getapplock")))
                return QStringLiteral("SELECT -1 AS result, (SELECT host FROM quillmark_station LIMIT 1) AS host, "
                                      "(SELECT since FROM quillmark_station LIMIT 1) AS since, NULL AS failed");
            return std::nullopt;
        });
        QCOMPARE(clickOpens(w, "按钮_在线模式"), QString());
        // One batch: the lock, and the holder in the same answer.
        QCOMPARE(holdConnection.trace().size(), 1);
        QVERIFY(holdConnection.trace().first().startsWith(QLatin1String("SET NOCOUNT ON;")));
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text,
                 QStringLiteral("本账套的扫码出库窗口已在计算机“仓库柜台-2”上打开（自 2021-06-24 08:05:09 起）")
                     + kRefusalEnd);
        QVERIFY(!holdConnection.isOpen());
    }

private:
    // Clicks a start-window button; the name of the modal window it opened
    // (closed again at once), "" when none opened.
    QString clickOpens(StartWindow& w, const char* button)
    {
        QString opened;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                opened = window->objectName();
                window->close();
            }
        });
        QTest::mouseClick(w.findChild<QPushButton*>(QString::fromUtf8(button)), Qt::LeftButton);
        return opened;
    }

    void writeSettings(const QString& server, const QString& accountSet)
    {
        settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("服务器"), server);
        settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("用户名"), QStringLiteral("sa"));
        settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("账套"), accountSet);
        settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("密码"), 加密密码(QStringLiteral("pw")));
    }

    // The same settings in this program's and the probe's data directory.
    QString probeDataDirectory()
    {
        writeSettings(QStringLiteral("sqlite:") + m_env->filePath(u"erp"_s), QStringLiteral("UFDATA_001_2021"));
        const QString directory = m_env->filePath(u"probe"_s);
        if (!QDir().mkpath(directory) || !QFile::copy(apppaths::settingsFile(), directory + QStringLiteral("/set.ini")))
            qFatal("cannot prepare the probe's data directory");
        return directory;
    }

    std::unique_ptr<ShellTestEnvironment> m_env;
};

QTEST_MAIN(StationHoldTest)
#include "StationHoldTest.moc"
