#include "shell/DataDirectories.h"

#include "app/AppPaths.h"
#include "app/OperationLog.h"

#include <QDir>
#include <QFile>

namespace datadirectories {
namespace {

bool ensureDirectory(const QString& path)
{
    QDir dir(path);
    return dir.exists() || QDir().mkdir(path);
}

} // namespace

bool prepareAndOpenLog()
{
    if (!ensureDirectory(apppaths::collectionDirectory()))
        return false;
    if (!ensureDirectory(apppaths::logDirectory()))
        return false;
    const QString logPath = apppaths::logFile();
    if (!QFile::exists(logPath)) {
        QFile create(logPath);
        (void)create.open(QIODevice::WriteOnly | QIODevice::NewOnly); // a failure is ignored
    }
    OperationLog::instance().open(logPath);
    return true;
}

} // namespace datadirectories
