#pragma once
// Conversions between the program's Unicode text and GBK (code page 936),
// the encoding of set.ini, the operation log and every byte count the
// system makes (password cipher, keyword length, account-number positions).
#include <QByteArray>
#include <QString>

namespace textcodec {

// Unicode → GBK bytes. A character GBK cannot hold becomes "?", as the
// Windows code-page conversion does.
QByteArray toGbk(const QString& text);

// GBK bytes → Unicode. A byte sequence that is not GBK becomes U+FFFD.
QString fromGbk(const QByteArray& bytes);

// The characters of text that do not come back unchanged from GBK (each
// once, in the order they first occur); "" when GBK holds the whole text.
QString nonGbkCharacters(const QString& text);

// Removes ASCII spaces and ideographic spaces (U+3000, GBK A1 A1) at both
// ends; tabs and every other character stay.
QString trimBlanks(const QString& text);

} // namespace textcodec
