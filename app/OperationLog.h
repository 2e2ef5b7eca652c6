#pragma once
// The operation log syslog/yxlog.txt: one GBK entry per call,
// "[Y-MM-DD hh:mm:ss]:" + text + CR LF CR LF, appended and written through
// at once. Earlier entries, also those of earlier runs, are never touched.
#include <QDateTime>
#include <QFile>
#include <QString>

class OperationLog {
public:
    // Opens an existing log file for reading and appending; other processes
    // may keep it open and write too: every entry is one write at the end
    // of the file, so no entry overwrites another. Returns whether it is open.
    bool open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }
    void close() { m_file.close(); }

    // Appends one entry; a no-op when the log is not open. Failures are
    // not reported.
    void write(const QString& text);

    // The log every part of the program writes to (owned by the start window).
    static OperationLog& instance();

private:
    QFile m_file;
};

// Appends one entry to the program's log.
void 写日志(const QString& text);

// "[2021-06-01 09:05:03]" for the current local time; the year is not padded.
QString 日志时间文本();

// "2021-06-01 09:05:03"
QString 日期时间文本(const QDateTime& moment);

// "2021-06-01"
QString 日期文本(const QDateTime& moment);
