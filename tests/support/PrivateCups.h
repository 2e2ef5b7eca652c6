#pragma once
// A cupsd of its own for tests and benchmarks: configuration, socket,
// spool and logs in a temporary folder, file devices allowed, and
// CUPS_SERVER pointed at it so that libcups and Qt talk to it only.
// Label printers are queues of CUPS's own label drivers whose device is a
// FIFO read by a thread here, so that each job's raw printer output is
// kept apart.
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <thread>

namespace labeltest {

// What one printer device received, job by job.
class FifoDevice {
public:
    explicit FifoDevice(const QString& path);
    ~FifoDevice();
    FifoDevice(const FifoDevice&) = delete;
    FifoDevice& operator=(const FifoDevice&) = delete;

    QString uri() const { return QStringLiteral("file:") + m_path; }
    QList<QByteArray> jobs() const;

private:
    QString m_path;
    mutable QMutex m_mutex;
    QList<QByteArray> m_jobs;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};

class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // "" when the server runs; otherwise why it does not (the caller skips).
    QString start();
    // Adds an enabled queue of a driver model (e.g. drv:///sample.drv/zebra.ppd)
    // with lpadmin options (e.g. Resolution=300dpi); its device is a FIFO
    // when device is empty. "" on success, else lpadmin's complaint.
    QString addQueue(const QString& name, const QString& model, const QStringList& options = {},
                     const QString& device = {});
    FifoDevice* device(const QString& queue);
    // Runs a CUPS command-line tool (lpadmin, lpstat, cupsreject, …) against
    // this server; its standard output, a null text when it fails.
    QString tool(const QString& program, const QStringList& arguments) const;
    QByteArray errorLog() const;
    // Kills the server at once (SIGKILL), as a crash or a power cut would.
    void kill();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket;
    QList<std::pair<QString, std::shared_ptr<FifoDevice>>> m_devices;
};

} // namespace labeltest
