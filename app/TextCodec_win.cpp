// GBK conversion through the Windows code-page API (code page 936).
//
// WideCharToMultiByte with no flags puts a "best fit" look-alike where
// code page 936 has no character ("ß" as "s", a bullet as a middle dot), so
// set.ini and the log would hold text nobody typed. Here best fit is
// switched off and every character the code page cannot hold becomes one
// "?", as the Linux build's iconv conversion refuses it: the same text
// gives the same bytes on both systems.
#include "app/TextCodec.h"

#include <windows.h>

namespace textcodec {
namespace {

constexpr UINT kGbk = 936;

// Converts `count` UTF-16 units; false when a character had no GBK form.
bool convert(const wchar_t* wide, int count, QByteArray& out)
{
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, count, nullptr, 0, "?", &usedDefault);
    if (n <= 0)
        return false;
    const qsizetype at = out.size();
    out.resize(at + n);
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, count, out.data() + at, n, "?", &usedDefault);
    return !usedDefault;
}

} // namespace

QByteArray toGbk(const QString& text)
{
    if (text.isEmpty())
        return {};
    auto wide = reinterpret_cast<const wchar_t*>(text.utf16());
    QByteArray out;
    out.reserve(text.size() * 2);
    if (convert(wide, int(text.size()), out))
        return out;
    // Something was refused: character by character, so that each refused
    // character (a surrogate pair or a lone surrogate included) is one "?".
    out.clear();
    for (qsizetype i = 0; i < text.size();) {
        const int units =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const qsizetype at = out.size();
        if (units == 2 || !convert(wide + i, units, out)) {
            out.truncate(at);
            out.append('?');
        }
        i += units;
    }
    return out;
}

QString fromGbk(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    int n = MultiByteToWideChar(kGbk, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString out(n, Qt::Uninitialized);
    MultiByteToWideChar(kGbk, 0, bytes.constData(), int(bytes.size()), reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

} // namespace textcodec
