#include "app/Settings.h"

#include "app/AppPaths.h"
#include "app/ProfileFile.h"
#include "app/TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace settings {

QString readKey(const QString& section, const QString& key)
{
    return ProfileFile(apppaths::settingsFile()).read(section, key);
}

QString gbkRefusal(const QString& field, const QString& text)
{
    const QString bad = textcodec::nonGbkCharacters(text);
    if (bad.isEmpty())
        return {};
    return QStringLiteral("%1中有设置文件无法保存的字符“%2”，请修改后重试").arg(field, bad);
}

QString refusal(const QString& field, const QString& value)
{
    QString why = gbkRefusal(field, value);
    if (why.isEmpty() && ProfileFile::readBack(value) != value)
        why = QStringLiteral("%1无法原样保存到设置文件（不能含换行，首尾不能有空白，不能超过%2字节），请修改后重试")
                  .arg(field)
                  .arg(ProfileFile::kMaxValueBytes);
    return why;
}

bool writeKeys(const QString& section, const QList<Entry>& entries, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QList<std::pair<QString, QString>> pairs;
    for (const Entry& e : entries) {
        const QString why = refusal(e.key, e.value);
        if (!why.isEmpty())
            return fail(why);
        pairs.append({e.key, e.value});
    }
    const QString path = apppaths::settingsFile();
    switch (ProfileFile(path).writeKeys(section, pairs)) {
    case ProfileFile::WriteStatus::Written:
        return true;
    case ProfileFile::WriteStatus::Unreadable:
        return fail(QStringLiteral("无法读取设置文件“%1”，设置未保存").arg(QDir::toNativeSeparators(path)));
    case ProfileFile::WriteStatus::Unwritable:
        break;
    }
    return fail(QStringLiteral("无法写入设置文件“%1”，设置未保存").arg(QDir::toNativeSeparators(path)));
}

bool tryWriteKey(const QString& section, const QString& key, const QString& value, QString* error)
{
    return writeKeys(section, {{key, value}}, error);
}

bool writeKey(const QString& section, const QString& key, const QString& value)
{
    return tryWriteKey(section, key, value);
}

bool fileExists()
{
    return QFileInfo::exists(apppaths::settingsFile());
}

} // namespace settings
