#include "app/TextCodec.h"

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

TEST(TextCodec, NonGbkCharactersAreNamedOnce)
{
    const std::pair<const char*, const char*> cases[] = {
        {"生产课 sa_01", ""},
        {"", ""},
        {"Pässwörd", "äö"},
        {"D:\\재고\\erp", "재고"}, // a Hangul folder name
        {"a\xF0\x9F\x98\x80" "b\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (const auto& [text, bad] : cases)
        EXPECT_EQ(textcodec::nonGbkCharacters(QString::fromUtf8(text)), QString::fromUtf8(bad)) << text;
}
