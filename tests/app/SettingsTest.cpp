#include "app/Settings.h"
#include "app/AppPaths.h"
#include "app/ProfileFile.h"
#include "app/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes()
{
    QFile f(apppaths::settingsFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// A value that would come back different from set.ini is refused with a
// message that names the key, and nothing of the batch is written.
TEST(Settings, ValuesThatWouldNotReadBackAreRefused)
{
    QTemporaryDir dir;
    apppaths::setDataDirectory(dir.path());
    const QString section = QStringLiteral("人员打印机配制");
    ASSERT_TRUE(settings::tryWriteKey(section, QStringLiteral("打印机"), QStringLiteral("标签机 GK888t")));
    const QByteArray before = fileBytes();

    const QString refused[] = {
        QStringLiteral("Zebra Zähler"), // ä: not in GBK
        QStringLiteral("재고 프린터"), // Hangul
        QStringLiteral("a\r\nb"), // would be read as "a  b"
        QStringLiteral("\tprinter"), // blanks around a value are not kept
        QString(ProfileFile::kMaxValueBytes + 1, u'x'), // read back cut
    };
    for (const QString& value : refused) {
        QString error;
        EXPECT_FALSE(settings::writeKeys(
            section, {{QStringLiteral("纸张长"), QStringLiteral("50")}, {QStringLiteral("打印机"), value}}, &error))
            << value.left(40).toStdString();
        EXPECT_TRUE(error.startsWith(QStringLiteral("打印机"))) << error.toStdString();
        EXPECT_FALSE(settings::writeKey(section, QStringLiteral("打印机"), value));
        EXPECT_EQ(fileBytes(), before);
    }
    EXPECT_EQ(settings::refusal(QStringLiteral("打印机"), QStringLiteral("Zebra Zähler")),
              QStringLiteral("打印机中有设置文件无法保存的字符“ä”，请修改后重试"));

    QString error;
    // What reads back unchanged is written, up to the longest value.
    for (const QString& value : {QStringLiteral("打印机 №1 ·「甲」"), QString(ProfileFile::kMaxValueBytes, u'x')}) {
        EXPECT_TRUE(settings::tryWriteKey(section, QStringLiteral("打印机"), value, &error)) << error.toStdString();
        EXPECT_EQ(settings::readKey(section, QStringLiteral("打印机")), value);
    }
    apppaths::setDataDirectory({});
}
