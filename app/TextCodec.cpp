#include "TextCodec.h"

namespace textcodec {

QString trimBlanks(const QString& text)
{
    auto isBlank = [](QChar c) { return c == u' ' || c == QChar(0x3000); };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace textcodec
