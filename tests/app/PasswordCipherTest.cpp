#include "app/PasswordCipher.h"
#include "app/TextCodec.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Base64 of arbitrary bytes, the way the cipher builds its text, so that
// values made with another key can be fed to the decipher.
QString base64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

TEST(PasswordCipher, EmptyPasswordIsTheKeyAloneWithOnePadding)
{
    const QString c = 加密密码(QString());
    EXPECT_EQ(c.size(), 20);
    EXPECT_TRUE(c.endsWith(u'='));
    EXPECT_FALSE(c.endsWith(QStringLiteral("==")));
    EXPECT_EQ(c, base64("lanterno602417"));
    EXPECT_EQ(解密密码(c), QString());
}

TEST(PasswordCipher, KnownCipherTexts)
{
    // Padding of 0, 1 and 2 bytes: 14 + password length mod 3.
    struct Case {
        const char* password;
    } cases[] = {{"a"}, {"ab"}, {"abc"}, {"sa"}, {"P@ss;w0rd{}"}};
    for (const auto& c : cases) {
        const QString password = QString::fromUtf8(c.password);
        const QString expected = base64(QByteArray(c.password) + "lanterno602417");
        EXPECT_EQ(加密密码(password), expected) << c.password;
        EXPECT_EQ(解密密码(expected), password) << c.password;
    }
}

TEST(PasswordCipher, ChinesePasswordGoesThroughItsGbkBytes)
{
    const QString password = QStringLiteral("仓库密码1");
    const QByteArray gbk = textcodec::toGbk(password);
    ASSERT_EQ(gbk.size(), 9);
    EXPECT_EQ(加密密码(password), base64(gbk + "lanterno602417"));
    EXPECT_EQ(解密密码(加密密码(password)), password);
}

TEST(PasswordCipher, AnyFourteenByteKeyDeciphersTheSame)
{
    EXPECT_EQ(解密密码(base64("secretXXXXXXXXXXXXXX")), QStringLiteral("secret"));
    EXPECT_EQ(解密密码(base64("secret" + QByteArray(14, 'k'))), QStringLiteral("secret"));
}

TEST(PasswordCipher, BlanksAndLineBreaksAnywhereAreIgnored)
{
    const QString c = 加密密码(QStringLiteral("hunter2"));
    QString spaced = c;
    spaced.insert(10, QStringLiteral("\r\n"));
    spaced.insert(5, QStringLiteral(" "));
    spaced.insert(0, QChar(0x3000));
    spaced.append(QStringLiteral("  \r\n"));
    EXPECT_EQ(解密密码(spaced), QStringLiteral("hunter2"));
}

TEST(PasswordCipher, ShortOrEmptyStoredTextsGiveEmptyPassword)
{
    EXPECT_EQ(解密密码(QString()), QString());
    EXPECT_EQ(解密密码(QStringLiteral("    ")), QString());
    // 14 decoded bytes: exactly the key's length, nothing left.
    EXPECT_EQ(解密密码(base64(QByteArray(14, 'x'))), QString());
    // 15 bytes: one character survives.
    EXPECT_EQ(解密密码(base64("Z" + QByteArray(14, 'x'))), QStringLiteral("Z"));
}

TEST(PasswordCipher, DecodedTextEndsAtTheFirstZeroByte)
{
    EXPECT_EQ(解密密码(base64(QByteArray("abcdefghijklmnopq\0rest", 22))), QStringLiteral("abc"));
}

TEST(PasswordCipher, GroupEndingEarlyKeepsPreviousGroupValues)
{
    // "RU=A" ends at its third character: positions 3 and 4 keep the
    // values of the group before ("J", "D"), giving "EBC" instead of "E".
    EXPECT_EQ(解密密码(QStringLiteral("QUJDRU=A") + QStringLiteral("QUJD").repeated(5)), QStringLiteral("ABCEBCA"));
    // A last group ending at "=" drops 5 - position bytes.
    EXPECT_EQ(解密密码(QStringLiteral("QUJD").repeated(6) + QStringLiteral("QQ==")), QStringLiteral("ABCAB"));
}

TEST(PasswordCipher, RoundTripOfRandomGbkPasswords)
{
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> kind(0, 2);
    std::uniform_int_distribution<int> ascii(0x20, 0x7E);
    std::uniform_int_distribution<int> cjk(0x4E00, 0x9FA5);
    for (int i = 0; i < 500; ++i) {
        QString password;
        const int n = length(rng);
        for (int k = 0; k < n; ++k)
            password.append(kind(rng) == 0 ? QChar(cjk(rng)) : QChar(ascii(rng)));
        const QString cipher = 加密密码(password);
        ASSERT_EQ(cipher.size() % 4, 0);
        ASSERT_EQ(解密密码(cipher), password) << password.toStdString();
    }
}

} // namespace
