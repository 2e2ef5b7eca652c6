#include "app/ProfileFile.h"
#include "app/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// While it lives, file permissions hold for this thread even when it runs
// as root: the capabilities that let root read and write any file are taken
// out of the effective set (they stay permitted and come back at the end).
class PermissionsHold {
public:
    PermissionsHold()
    {
#ifdef __linux__
        if (geteuid() != 0) {
            m_active = true;
            return;
        }
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
        m_active = m_dropped;
#endif
    }
    ~PermissionsHold()
    {
#ifdef __linux__
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
#endif
    }
    PermissionsHold(const PermissionsHold&) = delete;
    PermissionsHold& operator=(const PermissionsHold&) = delete;

    bool active() const
    {
        return m_active;
    }

private:
    bool m_active = false;
#ifdef __linux__
    bool m_dropped = false;
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
#endif
};

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.filePath(QStringLiteral("set.ini")); }
    QByteArray bytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setBytes(const QByteArray& b) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    QByteArray gbk(const char* utf8) const { return textcodec::toGbk(QString::fromUtf8(utf8)); }

    QTemporaryDir dir;
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyReadsEmpty)
{
    ProfileFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("连接配制"), QStringLiteral("服务器")), QString());
    setBytes(gbk("[连接配制]\r\n服务器=db1\r\n"));
    EXPECT_EQ(ini.read(QStringLiteral("连接配制"), QStringLiteral("账套")), QString());
    EXPECT_EQ(ini.read(QStringLiteral("材料出库单表头"), QStringLiteral("服务器")), QString());
    EXPECT_EQ(ini.read(QStringLiteral("连接配制"), QStringLiteral("服务器")), QStringLiteral("db1"));
}

TEST_F(ProfileFileTest, FirstWriteCreatesFileAndSectionInGbkOwnerOnly)
{
    ProfileFile ini(path());
    ASSERT_TRUE(ini.write(QStringLiteral("连接配制"), QStringLiteral("服务器"), QStringLiteral("10.0.0.5")));
    ASSERT_TRUE(ini.write(QStringLiteral("连接配制"), QStringLiteral("用户名"), QStringLiteral("sa")));
    ASSERT_TRUE(ini.write(QStringLiteral("材料出库单表头"), QStringLiteral("仓库"), QStringLiteral("01|原料仓")));
    EXPECT_EQ(bytes(), gbk("[连接配制]\r\n服务器=10.0.0.5\r\n用户名=sa\r\n[材料出库单表头]\r\n仓库=01|原料仓\r\n"));
#ifndef Q_OS_WIN
    EXPECT_EQ(QFile::permissions(path()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
    // A file others can read (copied in, or left by an earlier installation)
    // is made owner-only by the next write.
    ASSERT_TRUE(QFile::setPermissions(
        path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(ini.write(QStringLiteral("连接配制"), QStringLiteral("用户名"), QStringLiteral("sa")));
    EXPECT_EQ(QFile::permissions(path()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
#endif
}

TEST_F(ProfileFileTest, RewritingAKeyKeepsOneLineInPlaceAndOtherLines)
{
    setBytes(gbk("; written by hand\r\n[连接配制]\r\n服务器=old\r\n备注=keep me\r\n\r\n[其它]\r\nx=1\r\n"));
    ProfileFile ini(path());
    ini.write(QStringLiteral("连接配制"), QStringLiteral("服务器"), QStringLiteral("new"));
    ini.write(QStringLiteral("连接配制"), QStringLiteral("服务器"), QStringLiteral("newer"));
    ini.write(QStringLiteral("连接配制"), QStringLiteral("账套"), QStringLiteral("UFDATA_001_2021"));
    EXPECT_EQ(bytes(),
              gbk("; written by hand\r\n[连接配制]\r\n服务器=newer\r\n备注=keep "
                  "me\r\n账套=UFDATA_001_2021\r\n\r\n[其它]\r\nx=1\r\n"));
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    const QByteArray before = gbk("[连接配制]\r\n服务器=db1\r\n用户名=sa\r\n账套=UFDATA_001_2021\r\n");
    setBytes(before);
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner)); // there, but not readable
    {
        PermissionsHold hold;
        if (!hold.active())
            GTEST_SKIP() << "running as root without the right to give up its file privileges: "
                            "an unreadable file cannot be made here";
        ProfileFile ini(path());
        EXPECT_EQ(ini.writeKeys(QStringLiteral("连接配制"), {{QStringLiteral("服务器"), QStringLiteral("db2")}}),
                  ProfileFile::WriteStatus::Unreadable);
        EXPECT_FALSE(ini.write(QStringLiteral("材料出库单表头"), QStringLiteral("仓库"), QStringLiteral("01|原料仓")));
    }
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(bytes(), before);
}

TEST_F(ProfileFileTest, SeveralKeysGoInOneWrite)
{
    setBytes(gbk("[连接配制]\r\n用户名=old\r\n"));
    ProfileFile ini(path());
    EXPECT_EQ(ini.writeKeys(QStringLiteral("连接配制"),
                            {{QStringLiteral("服务器"), QStringLiteral("db1")},
                             {QStringLiteral("用户名"), QStringLiteral("sa")}}),
              ProfileFile::WriteStatus::Written);
    EXPECT_EQ(ini.writeKeys(QStringLiteral("材料出库单表头"),
                            {{QStringLiteral("仓库"), QStringLiteral("01|原料仓")},
                             {QStringLiteral("经手人"), QStringLiteral("001|张三")}}),
              ProfileFile::WriteStatus::Written);
    EXPECT_EQ(
        bytes(),
        gbk("[连接配制]\r\n用户名=sa\r\n服务器=db1\r\n[材料出库单表头]\r\n仓库=01|原料仓\r\n经手人=001|张三\r\n"));
}

TEST_F(ProfileFileTest, NamesCompareCaseInsensitivelyAndFirstMatchWins)
{
    setBytes("[Conn]\nServer = a \nserver=b\n[conn]\nServer=c\n");
    ProfileFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("CONN"), QStringLiteral("SERVER")), QStringLiteral("a"));
    ini.write(QStringLiteral("conn"), QStringLiteral("server"), QStringLiteral("z"));
    EXPECT_EQ(ini.read(QStringLiteral("Conn"), QStringLiteral("Server")), QStringLiteral("z"));
    EXPECT_EQ(bytes(), QByteArray("[Conn]\r\nserver=z\r\nserver=b\r\n[conn]\r\nServer=c\r\n"));
}

TEST_F(ProfileFileTest, LongValueIsCutAt10239Bytes)
{
    ProfileFile ini(path());
    ini.write(QStringLiteral("s"), QStringLiteral("k"), QString(12000, u'x'));
    EXPECT_EQ(ini.read(QStringLiteral("s"), QStringLiteral("k")), QString(10239, u'x'));
    // Never half a GBK character.
    ini.write(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("x") + QString(6000, QChar(0x4ED3)));
    EXPECT_EQ(ini.read(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("x") + QString(5119, QChar(0x4ED3)));
}

TEST_F(ProfileFileTest, ValuesCannotBreakTheFileFormat)
{
    ProfileFile ini(path());
    ini.write(QStringLiteral("材料出库单表头"), QStringLiteral("仓库"),
              QStringLiteral("01|仓\r\n[连接配制]\r\n服务器=evil"));
    ini.write(QStringLiteral("连接配制"), QStringLiteral("服务器"), QStringLiteral("good"));
    EXPECT_EQ(ini.read(QStringLiteral("连接配制"), QStringLiteral("服务器")), QStringLiteral("good"));
    EXPECT_EQ(ini.read(QStringLiteral("材料出库单表头"), QStringLiteral("仓库")),
              QStringLiteral("01|仓  [连接配制]  服务器=evil"));
}

TEST_F(ProfileFileTest, OddFilesAreReadWithoutHarm)
{
    ProfileFile ini(path());
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("no sections at all\r\nkey=value\r\n"),
        QByteArray("\x00\x01\xFF\xFE[\x00]=\n\n\r\r=", 14),
        QByteArray("[s]\r\nk=") + QByteArray(200000, 'y') + "\r\n",
        QByteArray("[s\r\nk=unterminated section\r\n"),
    };
    for (const QByteArray& c : cases) {
        setBytes(c);
        (void)ini.read(QStringLiteral("s"), QStringLiteral("k"));
        ASSERT_TRUE(ini.write(QStringLiteral("s"), QStringLiteral("k2"), QStringLiteral("v")));
        EXPECT_EQ(ini.read(QStringLiteral("s"), QStringLiteral("k2")), QStringLiteral("v"));
    }
    setBytes(QByteArray("no sections at all\r\nkey=value\r\n"));
    EXPECT_EQ(ini.read(QStringLiteral(""), QStringLiteral("key")), QString());
}

} // namespace
