// GBK conversion through iconv (glibc here, GNU libiconv elsewhere).
#include "app/TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace textcodec {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) { }
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false at an invalid or
    // incomplete sequence, leaving `in`/`inLeft` pointing at it.
    bool convert(char*& in, size_t& inLeft, QByteArray& out)
    {
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t rc = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    iconv_t m_cd;
};

qsizetype utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

} // namespace

QByteArray toGbk(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    Converter cv("GBK", "UTF-8");
    if (!cv.valid())
        return text.toLatin1();
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    while (!cv.convert(in, inLeft, out)) {
        // A character outside GBK: one "?" in its place.
        out.append('?');
        auto skip = std::min<size_t>(inLeft, static_cast<size_t>(utf8SequenceLength(static_cast<unsigned char>(*in))));
        in += skip;
        inLeft -= skip;
    }
    return out;
}

QString fromGbk(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QByteArray utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    Converter cv("UTF-8", "GBK");
    if (!cv.valid())
        return QString::fromLatin1(bytes);
    char* in = copy.data();
    size_t inLeft = static_cast<size_t>(copy.size());
    while (!cv.convert(in, inLeft, utf8)) {
        utf8.append("\xEF\xBF\xBD");
        ++in;
        --inLeft;
    }
    return QString::fromUtf8(utf8);
}

} // namespace textcodec
