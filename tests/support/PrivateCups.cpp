#include "tests/support/PrivateCups.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace labeltest {

namespace {

bool writeFile(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) == text.toUtf8().size();
}

QString findTool(const QString& name)
{
    return QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/sbin"_s, u"/usr/bin"_s, u"/bin"_s});
}

} // namespace

FifoDevice::FifoDevice(const QString& path) : m_path(path)
{
    const QByteArray p = QFile::encodeName(path);
    ::mkfifo(p.constData(), 0666);
    ::chmod(p.constData(), 0666);
    // Each job opens the device, writes and closes it: one read to the end
    // of the file per job.
    m_reader = std::thread([this, p] {
        while (!m_stop) {
            const int fd = ::open(p.constData(), O_RDONLY);
            if (fd < 0)
                return;
            QByteArray job;
            char buffer[65536];
            for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                job.append(buffer, n);
            ::close(fd);
            if (!job.isEmpty()) {
                QMutexLocker lock(&m_mutex);
                m_jobs.append(job);
            }
        }
    });
}

FifoDevice::~FifoDevice()
{
    m_stop = true;
    // Wakes the reader waiting for a writer.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    m_reader.join();
}

QList<QByteArray> FifoDevice::jobs() const
{
    QMutexLocker lock(&m_mutex);
    return m_jobs;
}

PrivateCups::PrivateCups() = default;

PrivateCups::~PrivateCups()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000))
            m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }
    m_devices.clear();
}

QString PrivateCups::start()
{
    const QString cupsd = findTool(QStringLiteral("cupsd"));
    if (cupsd.isEmpty() || findTool(QStringLiteral("lpadmin")).isEmpty()
        || findTool(QStringLiteral("lpstat")).isEmpty())
        return QStringLiteral("cupsd, lpadmin or lpstat is not installed (packages cups, cups-client)");
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/filter/rastertolabel")))
        return QStringLiteral("the CUPS label driver is not installed (package cups)");
    if (!m_dir.isValid())
        return QStringLiteral("no temporary folder");
    const QString root = m_dir.path();
    // The filters run as the lp user and must reach the spool.
    QFile::setPermissions(root, QFileDevice::Permissions(0x7755));
    for (const char* sub : {"conf", "spool", "cache", "state", "tmp", "log", "dev"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + u"/tmp"_s, QFileDevice::Permissions(0x7777));
    m_socket = root + QStringLiteral("/cups.sock");
    writeFile(root + u"/conf/cupsd.conf"_s,
              QStringLiteral("Listen %1\nLogLevel info\nDefaultAuthType None\nJobKillDelay 5\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                  .arg(m_socket));
    // File devices are what the label queues write to.
    writeFile(root + u"/conf/cups-files.conf"_s,
              QStringLiteral("SystemGroup root\nFileDevice Yes\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                             "StateDir %1/state\nTempDir %1/tmp\nErrorLog %1/log/error_log\n"
                             "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n")
                  .arg(root));
    qputenv("CUPS_SERVER", m_socket.toUtf8());
    m_cupsd.setProgram(cupsd);
    m_cupsd.setArguments({u"-f"_s, u"-c"_s, root + u"/conf/cupsd.conf"_s, u"-s"_s, root + u"/conf/cups-files.conf"_s});
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start();
    if (!m_cupsd.waitForStarted(10000))
        return QStringLiteral("cupsd could not be started");
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && m_cupsd.state() == QProcess::Running) {
        if (QFileInfo::exists(m_socket)
            && tool(QStringLiteral("lpstat"), {u"-r"_s}).contains(QStringLiteral("is running")))
            return {};
        QThread::msleep(100);
    }
    return QStringLiteral("cupsd did not come up: ") + QString::fromLocal8Bit(m_cupsd.readAll() + errorLog());
}

void PrivateCups::kill()
{
    m_cupsd.kill();
    m_cupsd.waitForFinished(5000);
}

QString PrivateCups::addQueue(const QString& name, const QString& model, const QStringList& options,
                              const QString& device)
{
    QString uri = device;
    if (uri.isEmpty()) {
        auto fifo = std::make_shared<FifoDevice>(m_dir.filePath(QStringLiteral("dev/") + name));
        uri = fifo->uri();
        m_devices.append({name, fifo});
    }
    QStringList arguments{u"-p"_s, name, u"-E"_s, u"-v"_s, uri, u"-m"_s, model};
    for (const QString& o : options)
        arguments << u"-o"_s << o;
    QProcess lpadmin;
    lpadmin.start(findTool(QStringLiteral("lpadmin")), arguments);
    if (!lpadmin.waitForFinished(30000) || lpadmin.exitCode() != 0)
        return QString::fromLocal8Bit(lpadmin.readAllStandardError());
    return {};
}

FifoDevice* PrivateCups::device(const QString& queue)
{
    for (const auto& [name, fifo] : m_devices)
        if (name == queue)
            return fifo.get();
    return nullptr;
}

QString PrivateCups::tool(const QString& program, const QStringList& arguments) const
{
    QProcess p;
    p.start(findTool(program), arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    return out.isNull() ? QStringLiteral("") : out; // null only when the tool failed
}

QByteArray PrivateCups::errorLog() const
{
    QFile f(m_dir.filePath(QStringLiteral("log/error_log")));
    return f.open(QIODevice::ReadOnly) ? "\n" + f.readAll().right(4000) : QByteArray();
}

} // namespace labeltest
