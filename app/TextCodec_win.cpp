// GBK conversion through the Windows code-page API (code page 936).
#include "app/TextCodec.h"

#include <windows.h>

namespace textcodec {

QByteArray toGbk(const QString& text)
{
    if (text.isEmpty())
        return {};
    auto wide = reinterpret_cast<const wchar_t*>(text.utf16());
    int n = WideCharToMultiByte(936, 0, wide, int(text.size()), nullptr, 0, "?", nullptr);
    QByteArray out(n, Qt::Uninitialized);
    WideCharToMultiByte(936, 0, wide, int(text.size()), out.data(), n, "?", nullptr);
    return out;
}

QString fromGbk(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    int n = MultiByteToWideChar(936, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString out(n, Qt::Uninitialized);
    MultiByteToWideChar(936, 0, bytes.constData(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

} // namespace textcodec
