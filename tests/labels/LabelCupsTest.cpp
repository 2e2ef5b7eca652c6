// End to end through a real print queue: the test starts a cupsd of its
// own (configuration, socket, spool and logs in a temporary folder) with a
// cups-pdf queue writing into that folder, points Qt at it through
// CUPS_SERVER, and prints from the personnel label window as a clerk
// would. Where cupsd cannot be started the test says why and skips.
#include "LabelTestSupport.h"
#include "PersonLabelWindow.h"
#include "Settings.h"
#include "ShellTestEnvironment.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace labeltest;

namespace {

const QString kQueue = QStringLiteral("QuillmarkLabels");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
// cups-pdf reads its settings only from here: cups-pdf-<instance>.conf is
// the file of the queue whose address is cups-pdf:/<instance>.
const QString kCupsPdfConfigDir = QStringLiteral("/etc/cups");

bool writeFile(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

class LabelCupsTest : public QObject {
    Q_OBJECT
public:
    ~LabelCupsTest() override { stopServer(); }

private slots:
    void initTestCase()
    {
        startQrModule();
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {"/usr/sbin", "/sbin"});
        m_lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {"/usr/sbin", "/usr/bin"});
        m_lpstat = QStandardPaths::findExecutable(QStringLiteral("lpstat"));
        if (cupsd.isEmpty() || m_lpadmin.isEmpty() || m_lpstat.isEmpty())
            QSKIP("cupsd, lpadmin or lpstat is not installed (packages cups, cups-client)");
        if (!QFileInfo::exists(kBackend) || !QFileInfo::exists(kPpd))
            QSKIP("the cups-pdf backend is not installed (package printer-driver-cups-pdf)");
        if (!QFileInfo(kCupsPdfConfigDir).isWritable())
            QSKIP("cups-pdf takes its output folder only from /etc/cups, which this user cannot write");

        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path();
        // The filters run as the lp user and must reach the spool.
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                        | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                        | QFileDevice::ExeOther);
        for (const char* sub : {"conf", "spool", "cache", "state", "tmp", "log", "out"})
            QVERIFY(QDir(root).mkpath(QString::fromLatin1(sub)));
        QVERIFY(QFile::setPermissions(root + "/tmp", QFileDevice::Permissions(0x7777)));
        m_socket = root + QStringLiteral("/cups.sock");
        QVERIFY(writeFile(root + "/conf/cupsd.conf", QStringLiteral("Listen %1\n"
                                                                    "LogLevel info\n"
                                                                    "DefaultAuthType None\n"
                                                                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                                                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                                                         .arg(m_socket)));
        QVERIFY(writeFile(root + "/conf/cups-files.conf",
                          QStringLiteral("SystemGroup root\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                                         "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                                         "PageLog %1/log/page_log\n")
                              .arg(root)));
        m_instance = QStringLiteral("quillmarktest%1").arg(QCoreApplication::applicationPid());
        m_cupsPdfConfig = kCupsPdfConfigDir + QStringLiteral("/cups-pdf-%1.conf").arg(m_instance);
        QVERIFY(writeFile(m_cupsPdfConfig, QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/spool-pdf\n"
                                                          "Log %1/log\nGrp root\nLabel 1\n")
                                               .arg(root)));

        // Everything from here on, Qt's printer support included, talks to
        // this server only.
        qputenv("CUPS_SERVER", m_socket.toUtf8());
        m_cupsd.setProgram(cupsd);
        m_cupsd.setArguments({"-f", "-c", root + "/conf/cupsd.conf", "-s", root + "/conf/cups-files.conf"});
        m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
        m_cupsd.start();
        if (!m_cupsd.waitForStarted(10000))
            QSKIP("cupsd could not be started");
        bool running = false;
        for (int i = 0; i < 100 && !running && m_cupsd.state() == QProcess::Running; ++i) {
            QTest::qWait(100);
            running = QFileInfo::exists(m_socket) && run(m_lpstat, {"-r"}).contains(QStringLiteral("is running"));
        }
        if (!running) {
            const QByteArray why = "cupsd did not come up: " + m_cupsd.readAll() + log();
            QSKIP(why.constData());
        }
        QProcess lpadmin;
        lpadmin.start(m_lpadmin, {"-p", kQueue, "-E", "-v", "cups-pdf:/" + m_instance, "-P", kPpd});
        QVERIFY(lpadmin.waitForFinished(30000));
        QVERIFY2(lpadmin.exitCode() == 0, lpadmin.readAllStandardError().constData());
    }

    void cleanupTestCase() { stopServer(); }

    void threeTickedLabelsArriveFromTheQueue()
    {
        ShellTestEnvironment env;
        DemoErp erp;
        QVERIFY(erp.isReady());
        const QString defaultBefore = QPrinterInfo::defaultPrinterName();
        const QString lpstatBefore = run(m_lpstat, {"-d"});

        窗口_人员条码打印 w(erp.记录集2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // The list is filled with the system's printers as it opens; picking
        // one stores it.
        auto* list = w.findChild<QComboBox*>(QStringLiteral("组合框_打印机"));
        list->showPopup();
        const int index = list->findText(kQueue);
        QVERIFY2(index >= 0, qPrintable(QStringLiteral("not listed: ") + kQueue));
        list->view()->setCurrentIndex(list->model()->index(index, 0));
        QTest::keyClick(list->view(), Qt::Key_Return);
        QCOMPARE(settings::readKey(QStringLiteral("人员打印机配制"), QStringLiteral("打印机")), kQueue);

        setBox(&w, "编辑框_纸张长", "50");
        setBox(&w, "编辑框_纸张宽", "30");
        setBox(&w, "编辑框_二维码长", "22");
        setBox(&w, "编辑框_二维码宽", "22");
        setBox(&w, "编辑框_上", "2");
        setBox(&w, "编辑框_左", "2");
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_读取U8")), Qt::LeftButton);
        const auto* grid = w.findChild<QTableWidget*>(QStringLiteral("高级表格_人员"));
        QStringList expected;
        for (int row : {1, 3, 6}) {
            w.setTicked(row, true);
            expected << "R" + grid->item(row - 1, 1)->text();
        }
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_打印")), Qt::LeftButton);
        QCOMPARE(env.messages.size(), 1);
        QCOMPARE(env.messages[0].text, QStringLiteral("已发送到打印机，请等待打印结束！！"));

        QDir out(m_dir.filePath(QStringLiteral("out")));
        auto pdfs = [&] { return out.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name); };
        QTRY_VERIFY2_WITH_TIMEOUT(pdfs().size() >= 3, log().constData(), 90000);
        QTest::qWait(500); // let the last file be closed
        QCOMPARE(pdfs().size(), 3);
        QStringList found;
        for (const QString& pdf : pdfs()) {
            QCOMPARE(pageCount(out.filePath(pdf)), 1);
            const QSizeF size = pageSizeMm(out.filePath(pdf));
            QVERIFY2(std::abs(size.width() - 50) < 0.5 && std::abs(size.height() - 30) < 0.5,
                     qPrintable(QStringLiteral("page of %1 x %2 mm").arg(size.width()).arg(size.height())));
            found << decode(render(out.filePath(pdf), 203));
        }
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);

        QCOMPARE(QPrinterInfo::defaultPrinterName(), defaultBefore);
        QCOMPARE(run(m_lpstat, {"-d"}), lpstatBefore);
    }

private:
    // Also run when the test object goes, so that a failure half-way
    // leaves neither a server nor a cups-pdf file behind.
    void stopServer()
    {
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            if (!m_cupsd.waitForFinished(10000))
                m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
        if (!m_cupsPdfConfig.isEmpty())
            QFile::remove(m_cupsPdfConfig);
    }

    QByteArray log() const
    {
        QFile f(m_dir.filePath(QStringLiteral("log/error_log")));
        return f.open(QIODevice::ReadOnly) ? "\n" + f.readAll().right(4000) : QByteArray();
    }

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket;
    QString m_instance;
    QString m_cupsPdfConfig;
    QString m_lpadmin;
    QString m_lpstat;
};

QTEST_MAIN(LabelCupsTest)
#include "LabelCupsTest.moc"
