#pragma once
// Where the program keeps its files. Normally the program directory; when
// that is not writable (an installed program), a per-user data directory.
// Every path is formed anew from the data directory on each call.
#include <QString>

namespace apppaths {

// The directory that holds set.ini, syslog/ and 数据采集记录/, without a
// trailing separator.
QString dataDirectory();

// Tests and tools point the program at another directory; "" restores the
// normal choice.
void setDataDirectory(const QString& directory);

// dataDirectory() + "/" + relative.
QString path(const QString& relative);

QString settingsFile(); // set.ini
QString collectionDirectory(); // 数据采集记录
QString logDirectory(); // syslog
QString logFile(); // syslog/yxlog.txt

} // namespace apppaths
