#include "TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, GbkBytesOfChineseAndBack)
{
    const QString text = QStringLiteral("生产课A1");
    const QByteArray gbk = textcodec::toGbk(text);
    EXPECT_EQ(gbk, QByteArray("\xC9\xFA\xB2\xFA\xBF\xCE" "A1"));
    EXPECT_EQ(textcodec::fromGbk(gbk), text);
}

TEST(TextCodec, CharactersOutsideGbkBecomeQuestionMarks)
{
    EXPECT_EQ(textcodec::toGbk(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), QByteArray("a?b"));
}

TEST(TextCodec, InvalidGbkBytesDoNotStopTheRest)
{
    const QString decoded = textcodec::fromGbk(QByteArray("ab\xFF" "cd"));
    EXPECT_TRUE(decoded.startsWith(QStringLiteral("ab")));
    EXPECT_TRUE(decoded.endsWith(QStringLiteral("cd")));
}

TEST(TextCodec, TrimRemovesOnlySpacesAndIdeographicSpaces)
{
    EXPECT_EQ(textcodec::trimBlanks(QStringLiteral("\u3000 01|仓库 \u3000")), QStringLiteral("01|仓库"));
    EXPECT_EQ(textcodec::trimBlanks(QStringLiteral("\tx\t")), QStringLiteral("\tx\t"));
    EXPECT_EQ(textcodec::trimBlanks(QStringLiteral("   ")), QString());
}
