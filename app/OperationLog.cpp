#include "app/OperationLog.h"

#include "app/Clock.h"
#include "app/TextCodec.h"

namespace {

// The decimal text with "00" in front, last two characters kept.
QString twoDigits(int n)
{
    return (QStringLiteral("00") + QString::number(n)).right(2);
}

QString fourDigits(int n)
{
    return (QStringLiteral("00") + QString::number(n)).right(4);
}

QString timeText(const QDateTime& m)
{
    return twoDigits(m.time().hour()) + u':' + twoDigits(m.time().minute()) + u':'
        + twoDigits(m.time().second());
}

} // namespace

bool OperationLog::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    if (!QFile::exists(path))
        return false;
    // Append mode: the system puts every write at the end of the file as it
    // is at that moment, so entries of another copy of the program writing
    // at the same time are never overwritten.
    return m_file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered);
}

void OperationLog::write(const QString& text)
{
    if (!m_file.isOpen())
        return;
    // One write per entry, so that the entry stays in one piece.
    const QByteArray entry = textcodec::toGbk(日志时间文本() + u':' + text) + "\r\n\r\n";
    m_file.write(entry);
}

OperationLog& OperationLog::instance()
{
    static OperationLog log;
    return log;
}

void 写日志(const QString& text)
{
    OperationLog::instance().write(text);
}

QString 日志时间文本()
{
    const QDateTime m = appclock::now();
    const QDate d = m.date();
    return u'[' + QString::number(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day())
        + u' ' + timeText(m) + u']';
}

QString 日期时间文本(const QDateTime& moment)
{
    return 日期文本(moment) + u' ' + timeText(moment);
}

QString 日期文本(const QDateTime& moment)
{
    const QDate d = moment.date();
    return fourDigits(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day());
}
