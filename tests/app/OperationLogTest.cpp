#include "app/OperationLog.h"
#include "app/Clock.h"
#include "app/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

class OperationLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("yxlog.txt"));
        appclock::setFixedNow(QDateTime(QDate(2021, 6, 1), QTime(9, 5, 3)));
    }
    void TearDown() override
    {
        OperationLog::instance().close();
        appclock::setFixedNow({});
    }
    QByteArray contents() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void createFile(const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(OperationLogTest, EntryFormatIsByteExact)
{
    createFile({});
    ASSERT_TRUE(OperationLog::instance().open(path));
    写日志(QStringLiteral("abc"));
    写日志(QString());
    写日志(QStringLiteral("插入缓存记录失败  insert into ckmx values('1')"));
    EXPECT_EQ(contents(),
              QByteArray("[2021-06-01 09:05:03]:abc\r\n\r\n"
                         "[2021-06-01 09:05:03]:\r\n\r\n")
                  + "[2021-06-01 09:05:03]:"
                  + textcodec::toGbk(QStringLiteral("插入缓存记录失败  insert into ckmx values('1')")) + "\r\n\r\n");
}

TEST_F(OperationLogTest, EarlierEntriesStayAndNewOnesFollow)
{
    createFile("[2020-01-01 00:00:00]:old\r\n\r\n");
    ASSERT_TRUE(OperationLog::instance().open(path));
    写日志(QStringLiteral("new"));
    EXPECT_EQ(contents(), QByteArray("[2020-01-01 00:00:00]:old\r\n\r\n[2021-06-01 09:05:03]:new\r\n\r\n"));
}

TEST_F(OperationLogTest, EntriesAreOnDiskAtOnceEvenWhenAnotherWriterAppends)
{
    createFile({});
    ASSERT_TRUE(OperationLog::instance().open(path));
    写日志(QStringLiteral("one"));
    {
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::Append));
        other.write("other\r\n");
    }
    写日志(QStringLiteral("two"));
    EXPECT_EQ(contents(), QByteArray("[2021-06-01 09:05:03]:one\r\n\r\nother\r\n[2021-06-01 09:05:03]:two\r\n\r\n"));
}

// Two copies of the program writing at once: every entry arrives whole,
// none overwrites another.
TEST_F(OperationLogTest, TwoWritersAtOnceLoseNothing)
{
    createFile("earlier\r\n\r\n");
    constexpr int kEach = 3000;
    OperationLog first, second;
    ASSERT_TRUE(first.open(path));
    ASSERT_TRUE(second.open(path));
    auto writeAll = [](OperationLog* log, char who) {
        for (int i = 0; i < kEach; ++i)
            log->write(QString(QLatin1Char(who)) + QString::number(i));
    };
    std::thread a(writeAll, &first, 'A');
    std::thread b(writeAll, &second, 'B');
    a.join();
    b.join();
    first.close();
    second.close();

    int count[2] = {0, 0};
    QByteArray rest = contents();
    ASSERT_TRUE(rest.startsWith("earlier\r\n\r\n"));
    rest.remove(0, 11);
    for (const QByteArray& entry : rest.split('\r')) {
        if (entry.isEmpty() || entry == "\n")
            continue;
        const QByteArray text = entry.startsWith('\n') ? entry.mid(1) : entry;
        ASSERT_TRUE(text.startsWith("[2021-06-01 09:05:03]:A") || text.startsWith("[2021-06-01 09:05:03]:B"))
            << text.left(60).toStdString();
        ++count[text[22] == 'A' ? 0 : 1];
    }
    EXPECT_EQ(count[0], kEach);
    EXPECT_EQ(count[1], kEach);
}

TEST_F(OperationLogTest, NotOpenMeansNothingIsWritten)
{
    // The log is opened only when it exists; a missing file stays missing.
    EXPECT_FALSE(OperationLog::instance().open(path));
    写日志(QStringLiteral("lost"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(TimeStampTexts, PatternsAndPadding)
{
    const QDateTime m(QDate(2021, 6, 1), QTime(9, 5, 3));
    EXPECT_EQ(日期时间文本(m), QStringLiteral("2021-06-01 09:05:03"));
    EXPECT_EQ(日期文本(m), QStringLiteral("2021-06-01"));
    const QDateTime evening(QDate(2026, 12, 31), QTime(23, 59, 59));
    EXPECT_EQ(日期时间文本(evening), QStringLiteral("2026-12-31 23:59:59"));
    appclock::setFixedNow(QDateTime(QDate(987, 1, 2), QTime(0, 0, 0)));
    EXPECT_EQ(日志时间文本(), QStringLiteral("[987-01-02 00:00:00]"));
    EXPECT_EQ(日期文本(appclock::now()), QStringLiteral("0987-01-02"));
    appclock::setFixedNow({});
}

} // namespace
