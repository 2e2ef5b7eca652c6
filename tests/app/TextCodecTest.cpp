#include "app/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, GbkBytesOfChineseAndBack)
{
    const QString text = QStringLiteral("生产课A1");
    const QByteArray gbk = textcodec::toGbk(text);
    EXPECT_EQ(gbk,
              QByteArray("\xC9\xFA\xB2\xFA\xBF\xCE"
                         "A1"));
    EXPECT_EQ(textcodec::fromGbk(gbk), text);
}

TEST(TextCodec, CharactersOutsideGbkBecomeQuestionMarks)
{
    EXPECT_EQ(textcodec::toGbk(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                                 "b")),
              QByteArray("a?b"));
}

// Characters a code-page conversion may "best fit" to a look-alike (sharp s
// as s, a bullet as a middle dot, a half-width katakana as its full form) are
// refused like any other character outside GBK: the Windows and the Linux
// builds write the same bytes for the same text.
TEST(TextCodec, NoLookAlikeStandsInForARefusedCharacter)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"\xC3\x9F", "?"}, // sharp s
        {"\xE2\x80\xA2", "?"}, // bullet
        {"\xEF\xBE\x9F", "?"}, // half-width semi-voiced mark
        {"\xE2\x99\xAA", "?"}, // eighth note
        {"\xC2\xA5", "?"}, // yen sign
        {"\xC3\xA9", "\xA8\xA6"}, // e acute is in GBK
        {"\xE2\x82\xAC", "\x80"}, // so is the euro sign
        {"\xE2\x80\x90", "\xA9\\"}, // and the hyphen
        {"A\xC3\x9F"
         "\xE4\xBB\x93"
         "?",
         "A?\xB2\xD6?"},
    };
    for (const auto& [utf8, gbk] : cases)
        EXPECT_EQ(textcodec::toGbk(QString::fromUtf8(utf8)), gbk) << utf8;
}

TEST(TextCodec, InvalidGbkBytesDoNotStopTheRest)
{
    const QString decoded = textcodec::fromGbk(QByteArray("ab\xFF"
                                                          "cd"));
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
        {"a\xF0\x9F\x98\x80"
         "b\xF0\x9F\x98\x80",
         "\xF0\x9F\x98\x80"},
    };
    for (const auto& [text, bad] : cases)
        EXPECT_EQ(textcodec::nonGbkCharacters(QString::fromUtf8(text)), QString::fromUtf8(bad)) << text;
}
