#include "app/PasswordCipher.h"

#include "app/TextCodec.h"

#include <array>

namespace {

constexpr char kKeyText[] = "lanterno602417";
constexpr int kKeyLength = 14;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int alphabetValue(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

QString 加密密码(const QString& password)
{
    QByteArray data = textcodec::toGbk(password) + QByteArray(kKeyText, kKeyLength);
    const int r = static_cast<int>(data.size() % 3);
    if (r > 0)
        data.append(QByteArray(3 - r, '\0'));

    QByteArray out;
    out.reserve(data.size() / 3 * 4);
    for (qsizetype i = 0; i < data.size(); i += 3) {
        const auto x = static_cast<unsigned char>(data[i]);
        const auto y = static_cast<unsigned char>(data[i + 1]);
        const auto z = static_cast<unsigned char>(data[i + 2]);
        out.append(kAlphabet[x >> 2]);
        out.append(kAlphabet[((x & 3) << 4) | (y >> 4)]);
        out.append(kAlphabet[((y & 15) << 2) | (z >> 6)]);
        out.append(kAlphabet[z & 63]);
    }
    if (r == 1)
        out.replace(out.size() - 2, 2, "==");
    else if (r == 2)
        out.replace(out.size() - 1, 1, "=");
    return QString::fromLatin1(out);
}

QString 解密密码(const QString& stored)
{
    // Work on the GBK bytes, as the stored text is counted in bytes.
    QString blanksRemoved = stored;
    blanksRemoved.remove(u' ').remove(QChar(0x3000));
    QByteArray text = textcodec::toGbk(blanksRemoved);
    text.replace("\r\n", "");

    const qsizetype n = text.size();
    const qsizetype groups = n / 4 + (n % 4 ? 1 : 0);
    QByteArray bytes;
    bytes.reserve(groups * 3);
    std::array<int, 4> v{0, 0, 0, 0}; // a group that ends early keeps the previous group's later values
    int endedAt = 0;
    for (qsizetype g = 0; g < groups; ++g) {
        endedAt = 0;
        for (int j = 0; j < 4; ++j) {
            const qsizetype pos = g * 4 + j;
            const int value = pos < n ? alphabetValue(text[pos]) : 0;
            if (value < 0) {
                endedAt = j + 1;
                break;
            }
            v[static_cast<size_t>(j)] = value;
        }
        bytes.append(static_cast<char>((v[0] * 4) | (v[1] / 16)));
        bytes.append(static_cast<char>(((v[1] * 16) | (v[2] / 4)) & 0xFF));
        bytes.append(static_cast<char>(((v[2] * 64) | v[3]) & 0xFF));
    }
    if (endedAt > 0)
        bytes.chop(5 - endedAt);

    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    if (bytes.size() <= kKeyLength)
        return {};
    bytes.chop(kKeyLength);
    return textcodec::fromGbk(bytes);
}
