#include "Settings.h"

#include "AppPaths.h"
#include "ProfileFile.h"

#include <QFileInfo>

namespace settings {

QString readKey(const QString& section, const QString& key)
{
    return ProfileFile(apppaths::settingsFile()).read(section, key);
}

void writeKey(const QString& section, const QString& key, const QString& value)
{
    ProfileFile(apppaths::settingsFile()).write(section, key, value);
}

bool fileExists()
{
    return QFileInfo::exists(apppaths::settingsFile());
}

} // namespace settings
