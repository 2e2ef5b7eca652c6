#include "app/TextCodec.h"

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

QString nonGbkCharacters(const QString& text)
{
    if (fromGbk(toGbk(text)) == text)
        return {};
    QString found;
    for (qsizetype i = 0; i < text.size();) {
        // One character: a surrogate pair stays together.
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, width);
        if (fromGbk(toGbk(c)) != c && !found.contains(c))
            found += c;
        i += width;
    }
    return found;
}

} // namespace textcodec
