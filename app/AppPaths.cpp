#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace apppaths {
namespace {

QString& overrideDirectory()
{
    static QString directory;
    return directory;
}

bool isWritableDirectory(const QString& directory)
{
    // A real probe: permission bits alone do not tell on every platform.
    QTemporaryFile probe(directory + QStringLiteral("/.quillmark-write-probe-XXXXXX"));
    return probe.open();
}

// An installed program: on Windows, one under Program Files. Only an
// administrator may write there, and Windows may redirect such writes to a
// hidden per-user copy; a program run elevated once would otherwise keep
// its settings where the clerk's normal runs cannot write them.
bool isInstalledDirectory(const QString& directory)
{
#ifdef Q_OS_WIN
    const QString dir = QDir::cleanPath(QDir::fromNativeSeparators(directory)) + u'/';
    for (const char* variable : {"ProgramW6432", "ProgramFiles", "ProgramFiles(x86)"}) {
        const QString root = qEnvironmentVariable(variable);
        if (!root.isEmpty()
            && dir.startsWith(QDir::cleanPath(QDir::fromNativeSeparators(root)) + u'/', Qt::CaseInsensitive))
            return true;
    }
#else
    Q_UNUSED(directory);
#endif
    return false;
}

QString chooseDirectory()
{
    const QString programDirectory = QCoreApplication::applicationDirPath();
    if (!programDirectory.isEmpty() && !isInstalledDirectory(programDirectory) && isWritableDirectory(programDirectory))
        return programDirectory;
    QString userDirectory = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (userDirectory.isEmpty())
        userDirectory = QDir::homePath() + QStringLiteral("/.quillmark");
    QDir().mkpath(userDirectory);
    return userDirectory;
}

} // namespace

QString dataDirectory()
{
    if (!overrideDirectory().isEmpty())
        return overrideDirectory();
    static const QString chosen = chooseDirectory();
    return chosen;
}

void setDataDirectory(const QString& directory)
{
    QString d = directory;
    while (d.size() > 1 && (d.endsWith(u'/') || d.endsWith(u'\\')))
        d.chop(1);
    overrideDirectory() = d;
}

QString path(const QString& relative)
{
    return dataDirectory() + u'/' + relative;
}

QString settingsFile()
{
    return path(QStringLiteral("set.ini"));
}
QString collectionDirectory()
{
    return path(QStringLiteral("数据采集记录"));
}
QString logDirectory()
{
    return path(QStringLiteral("syslog"));
}
QString logFile()
{
    return path(QStringLiteral("syslog/yxlog.txt"));
}

} // namespace apppaths
